#include "MemoryRelease.h"

// Any C library header defines __GLIBC__ on glibc; it must come before the
// test, or the test is always false. A sanitizer brings an allocator of its
// own, which glibc's settings do not reach.
#include <cstdlib>
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define LUMETRA_GLIBC_ALLOCATOR 1
#include <malloc.h>
#endif

namespace {

constexpr int kLargeBlockBytes = 1024 * 1024;

} // namespace

void KeepLargeBlocksOffTheHeap()
{
#if defined(LUMETRA_GLIBC_ALLOCATOR)
    // A threshold set here also stays where it is after frees.
    mallopt(M_MMAP_THRESHOLD, kLargeBlockBytes);
#endif
}

bool LargeBlocksKeptOffTheHeap()
{
#if defined(LUMETRA_GLIBC_ALLOCATOR)
    return true;
#else
    return false;
#endif
}
