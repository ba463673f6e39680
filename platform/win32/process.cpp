// The demo's process on Windows. A GUI program has no standard descriptors to fill in and gets no
// SIGINT or SIGTERM: Windows ends it through its window (a close) or the task manager, so the
// loop never has a signal to take and a waiting box needs no guard.
#include "platform/process.h"

#include "platform/window/internal.h"

namespace {

bool interactive = false;

}  // namespace

namespace plat {

void StartProcess() { interactive = true; }

}  // namespace plat

namespace plat::detail {

bool showsBoxes() { return interactive; }
int takeSignalForLoop() { return 0; }
BoxWait::BoxWait() {}
BoxWait::~BoxWait() {}

}  // namespace plat::detail
