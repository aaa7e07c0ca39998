#include "MemoryRelease.h"

// Any C library header defines __GLIBC__ on glibc; it must come before the
// test, or the test is always false.
#include <cstdlib>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

constexpr int kLargeBlockBytes = 1024 * 1024;

} // namespace

void KeepLargeBlocksOffTheHeap()
{
#if defined(__GLIBC__)
    // A threshold set here also stays where it is after frees.
    mallopt(M_MMAP_THRESHOLD, kLargeBlockBytes);
#endif
}

bool LargeBlocksKeptOffTheHeap()
{
#if defined(__GLIBC__)
    return true;
#else
    return false;
#endif
}
