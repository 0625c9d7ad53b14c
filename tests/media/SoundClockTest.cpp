#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "NamedCases.h"
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

// Reports as libmpv sends them: only one that went on from the last about as far as the clock
// did, while playing, is carried forward.
struct Interruption {
    const char* name;
    std::optional<double> seconds;  // reported 200 ms after the sound stood at 10.128 s
    bool paused;
};

class SoundClockInterrupted : public SoundClockReading,
                              public testing::WithParamInterface<Interruption> {};

TEST_P(SoundClockInterrupted, StartsAfreshAndCarriesOnOnceTheSoundMovesOn) {
    for (int i = 0; i < 3; ++i)
        clock.reported(truth(start + i * 64ms), false, start + i * 64ms);
    ASSERT_TRUE(clock.position(start + 150ms, speed).has_value());

    clock.reported(GetParam().seconds, GetParam().paused, start + 328ms);
    EXPECT_FALSE(clock.position(start + 340ms, speed).has_value());
    clock.reported(20.0, false, start + 400ms);
    EXPECT_FALSE(clock.position(start + 410ms, speed).has_value()) << "a jump to 20 s";
    clock.reported(20.05, false, start + 450ms);
    EXPECT_NEAR(*clock.position(start + 460ms, speed), 20.06, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(, SoundClockInterrupted,
                         testing::Values(Interruption{"SeekBack", 2.0, false},
                                         Interruption{"SeekAhead", 30.0, false},
                                         Interruption{"Pause", 10.2, true},
                                         Interruption{"NewFile", std::nullopt, false}),
                         byName);

TEST_F(SoundClockReading, SoundThatStandsIsNotCarriedOn) {
    reportAt(start);
    reportAt(start + 64ms);
    // No report for longer than reports ever stay away: the sound ran dry.
    EXPECT_FALSE(clock.position(start + 64ms + SoundClock::kReportsCount + 1ms, speed));
}

}  // namespace
