#include <gtest/gtest.h>

#include <cmath>

#include "SoundClock.h"

namespace {

using namespace std::chrono_literals;
using Clock = SoundClock::Clock;

// A player's sound moving from 10 s on, reported every 64 ms as libmpv does through PipeWire:
// some reports a few milliseconds behind (never ahead), read at moments between the reports.
class SoundClockReading : public testing::Test {
protected:
    double truth(Clock::time_point at) const {
        return 10.0 + std::chrono::duration<double>(at - start).count() * speed;
    }
    void reportAt(Clock::time_point at, double behindMs = 0.0, bool playedOn = true) {
        clock.report(truth(at) - behindMs / 1000.0, playedOn, at);
    }

    SoundClock clock;
    Clock::time_point start{1h};
    double speed = 1.0;
};

TEST_F(SoundClockReading, ReadsWhereTheSoundIsBetweenReportsThatLagByUpToACycle) {
    const double behind[] = {0.0, 6.8, 0.0, 10.0, 4.2, 0.0, 0.0, 6.7, 3.5, 0.0, 10.1, 0.0};
    Clock::time_point at = start;
    for (int i = 0; i < 12; ++i, at += 64ms) {
        reportAt(at, behind[i]);
        for (const auto later : {0ms, 20ms, 63ms}) {
            const auto read = clock.position(at + later, speed);
            ASSERT_TRUE(read.has_value());
            // A reading right after a late report is as late as the last good one allows.
            EXPECT_NEAR(*read, truth(at + later), 0.0005)
                << "report " << i << " + " << later.count();
        }
    }
}

TEST_F(SoundClockReading, CarriesReportsForwardAtThePlayersSpeed) {
    speed = 0.96;
    for (int i = 0; i < 4; ++i)
        reportAt(start + i * 64ms, i == 3 ? 8.0 : 0.0);
    EXPECT_NEAR(*clock.position(start + 250ms, speed), truth(start + 250ms), 0.0005);
}

TEST_F(SoundClockReading, AJumpOrAPauseStartsAfresh) {
    for (int i = 0; i < 3; ++i)
        reportAt(start + i * 64ms);
    // A seek back to 2 s: nothing from before it counts, and the landing is not carried forward
    // until the sound moves on from it.
    clock.report(2.0, false, start + 200ms);
    EXPECT_FALSE(clock.position(start + 220ms, speed).has_value());
    clock.report(2.05, true, start + 250ms);
    EXPECT_NEAR(*clock.position(start + 260ms, speed), 2.06, 1e-9);
}

TEST_F(SoundClockReading, SoundThatStandsIsNotCarriedOn) {
    reportAt(start);
    reportAt(start + 64ms);
    // No report for longer than reports ever stay away: the sound ran dry.
    EXPECT_FALSE(clock.position(start + 64ms + SoundClock::kReportsCount + 1ms, speed));
}

}  // namespace
