#pragma once
// Hints to the system about how a block of memory will be used. They never change its contents.
#include <cstddef>

namespace plat {

// The block (from malloc) is about to be written from start to end once, and it is large: let
// the system back it with large pages where it can, so filling it takes a few page faults
// instead of one per 4 KiB. Small blocks and systems without large pages are left alone.
void AdviseLargeFill(void* block, size_t bytes);

}  // namespace plat
