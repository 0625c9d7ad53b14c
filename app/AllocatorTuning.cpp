#include "AllocatorTuning.h"

#include <malloc.h>

namespace {

// Picture buffers (a 1280x720 frame is 1.4 MB) are far above it; packets and small objects are
// below it and stay on the heap.
constexpr int kMmapThreshold = 128 * 1024;

}  // namespace

bool tuneAllocator() {
    // glibc raises its mmap threshold to the size of every mapped block that is freed, so after
    // the first file is closed the next file's frame buffers come from the heap, and freeing
    // them there leaves holes it keeps: each re-open grew the process. A fixed threshold keeps
    // those buffers mapped, and closing a file unmaps them.
    return mallopt(M_MMAP_THRESHOLD, kMmapThreshold) != 0;
}
