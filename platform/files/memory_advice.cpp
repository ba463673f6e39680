#include "platform/memory_advice.h"

#include <sys/mman.h>

#include <cstdint>

namespace plat {

void AdviseLargeFill(void* block, size_t bytes)
{
#ifdef MADV_HUGEPAGE
    // Only whole 2 MiB extents inside the block can become large pages; the advice applies to
    // exactly those, so nothing outside the block is touched.
    constexpr uintptr_t kLarge = uintptr_t{2} << 20;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(block) + kLarge - 1) & ~(kLarge - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kLarge - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

}  // namespace plat
