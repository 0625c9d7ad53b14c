// Closing a file must hand its picture buffers back to the system, however many files were
// opened before.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>

#include "AllocatorTuning.h"

namespace {

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PELLUCOR_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(PELLUCOR_ASAN)
constexpr bool kOwnAllocator = false;
#else
constexpr bool kOwnAllocator = true;
#endif

TEST(Allocator, FrameSizedBlocksStayMappedAfterOneWasFreed) {
    if (!kOwnAllocator)
        GTEST_SKIP() << "the sanitizer replaces the C allocator";
    ASSERT_TRUE(tuneAllocator());
    constexpr std::size_t kFrame = 1280 * 720 * 3 / 2;
    // The first file's frame is freed when it closes ... (volatile: the pair must not be
    // optimised away)
    void* volatile first = std::malloc(kFrame);
    std::free(first);
    // ... and the next file's frame must not come from the heap, where it would stay.
    const std::size_t mappedBefore = mallinfo2().hblkhd;
    void* volatile next = std::malloc(kFrame);
    ASSERT_NE(next, nullptr);
    const std::size_t mappedWith = mallinfo2().hblkhd;
    std::free(next);
    EXPECT_GE(mappedWith - mappedBefore, kFrame);
}

}  // namespace
