#include "MemoryRelease.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

constexpr int kLargeBlockBytes = 256 * 1024;
constexpr int kTrimAboveBytes = 1024 * 1024;

} // namespace

void KeepLargeBlocksOffTheHeap()
{
#if defined(__GLIBC__)
    // Setting either value also ends the threshold's rise after frees.
    mallopt(M_MMAP_THRESHOLD, kLargeBlockBytes);
    mallopt(M_TRIM_THRESHOLD, kTrimAboveBytes);
#endif
}

void ReleaseFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
