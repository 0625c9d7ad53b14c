#include "AllocatorTuning.h"

#include <malloc.h>

namespace {

// Picture buffers (a 1280x720 frame is 1.4 MB) are far above it; packets and small objects are
// below it and stay on the heap.
constexpr int kMmapThreshold = 128 * 1024;
constexpr int kArenas = 2;

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PELLUCOR_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(PELLUCOR_ASAN)
// The sanitizer brings an allocator of its own, which ignores glibc's settings.
constexpr bool kGlibcAllocator = false;
#else
constexpr bool kGlibcAllocator = true;
#endif

}  // namespace

bool tuneAllocator() {
    if (!kGlibcAllocator)
        return true;
    // glibc raises its mmap threshold to the size of every mapped block that is freed, so after
    // the first file is closed the next file's frame buffers come from the heap, and freeing
    // them there leaves holes it keeps: each re-open grew the process. A fixed threshold keeps
    // those buffers mapped, and closing a file unmaps them.
    const bool threshold = mallopt(M_MMAP_THRESHOLD, kMmapThreshold) != 0;
    // Every open starts new demuxer and decoder threads, and glibc gives threads arenas of their
    // own (up to eight per core) that keep freed memory: re-opening files grew the process. Two
    // arenas cost no measurable speed.
    const bool arenas = mallopt(M_ARENA_MAX, kArenas) != 0;
    return threshold && arenas;
}
