// Standard descriptors and termination signals for the demo's process.
#include "platform/process.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform/window/internal.h"

namespace {

volatile std::sig_atomic_t pendingSignal = 0;
volatile std::sig_atomic_t loopTakesSignals = 0;
volatile std::sig_atomic_t boxesWaiting = 0;
pid_t programPid = 0;
bool interactive = false;

// Async-signal-safe: only flags and _exit.
extern "C" void onTerminationSignal(int signal)
{
    if (loopTakesSignals && boxesWaiting == 0) {
        pendingSignal = signal;
        return;
    }
    ::_exit(128 + signal);
}

// SDL shows a message box from a child process of its own, which would stay on screen after the
// program has ended: every child goes when the program does.
void inChildProcess()
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != programPid)
        ::_exit(1);
}

void openMissingStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free descriptor is this one, as those below it are open by now.
        const int opened = ::open("/dev/null", O_RDWR);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

void catchUnlessIgnored(int signal)
{
    struct sigaction action {};
    if (::sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN)
        return;
    action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
}

}  // namespace

namespace plat {

void StartProcess()
{
    interactive = true;
    openMissingStandardDescriptors();
    programPid = ::getpid();
    // SDL's own handlers would turn the signals into a quit event that nobody reads while a box
    // waits or before the show's window exists.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    ::pthread_atfork(nullptr, nullptr, inChildProcess);
    catchUnlessIgnored(SIGINT);
    catchUnlessIgnored(SIGTERM);
}

}  // namespace plat

namespace plat::detail {

bool showsBoxes() { return interactive; }

int takeSignalForLoop()
{
    loopTakesSignals = 1;
    const int signal = pendingSignal;
    pendingSignal = 0;
    return signal;
}

BoxWait::BoxWait() { boxesWaiting = boxesWaiting + 1; }
BoxWait::~BoxWait() { boxesWaiting = boxesWaiting - 1; }

}  // namespace plat::detail
