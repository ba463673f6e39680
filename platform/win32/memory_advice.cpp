#include "platform/memory_advice.h"

namespace plat {

// Large pages on Windows need a privilege ordinary users lack and must be asked for when the
// block is allocated, not afterwards; the block is left as it is.
void AdviseLargeFill(void*, size_t) {}

}  // namespace plat
