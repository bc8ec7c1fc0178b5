#include "platform/MemoryPolicy.h"

#include <cstdlib> // defines __GLIBC__ with the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace MemoryPolicy {

void returnLargeBlocksAtOnce()
{
#if defined(__GLIBC__)
    // A fixed threshold: the allocator would otherwise raise it to the size of each large block freed,
    // and keep the next ones of that size in the heap for good.
    constexpr int LargeBlockBytes = 256 * 1024;
    mallopt(M_MMAP_THRESHOLD, LargeBlockBytes);
#endif
}

} // namespace MemoryPolicy
