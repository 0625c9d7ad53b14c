#include <gtest/gtest.h>

#include <time.h>
#include <algorithm>

#include <chrono>

#include "HubFixture.h"

// A pedal that sends 10,000 reports a second for 2 s, fed in the 5 ms slices the window's
// heartbeat sees: every press counts exactly once, and no slice keeps the loop over 50 ms.
// The time is the thread's own, so that a busy machine taking the processor away in between
// counts against the machine, not against the reading.

namespace {

// CPU time of this thread.
struct ThreadClock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<ThreadClock>;
    static time_point now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return time_point(std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec));
    }
};

class Flood : public HubFixture {};

TEST_F(Flood, EveryPressCountsOnceAndTheLoopKeepsItsBeat) {
    using Clock = ThreadClock;
    constexpr int kReports = 20000;
    constexpr int kPerSlice = 50;  // 5 ms at 10,000 a second
    constexpr int kRun = 25;       // reports per press and per release
    plugVec("hidraw0");
    start();
    Clock::duration longest{};
    Clock::duration total{};
    for (int sent = 0; sent < kReports;) {
        for (int i = 0; i < kPerSlice; ++i, ++sent)
            tree.report("hidraw0", {static_cast<std::uint8_t>((sent / kRun) % 2 ? 0x00 : 0x01)});
        const Clock::time_point before = Clock::now();
        settle();
        const Clock::duration took = Clock::now() - before;
        longest = std::max(longest, took);
        total += took;
    }
    const long presses = std::count(told.begin(), told.end(), "left+");
    const long releases = std::count(told.begin(), told.end(), "left-");
    EXPECT_EQ(presses, kReports / kRun / 2);
    EXPECT_EQ(releases, kReports / kRun / 2);
    EXPECT_EQ(told.size(), static_cast<std::size_t>(kReports / kRun));
    EXPECT_LT(longest, std::chrono::milliseconds(50));
    const auto us = [](Clock::duration d) {
        return std::chrono::duration_cast<std::chrono::microseconds>(d).count();
    };
    RecordProperty("longest_slice_us", std::to_string(us(longest)));
    RecordProperty("all_reports_us", std::to_string(us(total)));
    std::printf("flood: 20,000 reports read in %lld us, longest 5 ms slice %lld us\n",
                static_cast<long long>(us(total)), static_cast<long long>(us(longest)));
}

}  // namespace
