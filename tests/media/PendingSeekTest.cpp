#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "CaseSteps.h"
#include "NamedCases.h"
#include "PendingSeek.h"

namespace {

using namespace std::chrono_literals;

// One step of what the player and libmpv do: "seek N" writes N seconds, "reply K" is libmpv's
// acknowledgement of the K-th seek (1-based), "fail K" refuses it, "restart" is a finished
// restart of playback, "wait" lets more than the give-up time pass.
struct Case {
    std::string name;
    std::vector<std::string> steps;
    std::optional<double> expected;
};

class PendingSeekSequence : public testing::TestWithParam<Case> {};

TEST_P(PendingSeekSequence, ReadsBackTheWrittenPositionUntilThatSeekIsDone) {
    PendingSeek seek;
    auto now = PendingSeek::Clock::time_point{};
    std::vector<std::uint64_t> ids;
    for (const std::string& step : GetParam().steps) {
        const auto [verb, arg] = splitStep(step);
        if (verb == "seek") {
            ids.push_back(seek.begin(std::stod(arg), now));
        } else if (verb == "reply" || verb == "fail") {
            seek.replied(ids.at(std::stoul(arg) - 1), verb == "fail");
        } else if (verb == "restart") {
            seek.restarted();
        } else if (verb == "wait") {
            now += PendingSeek::kGiveUpAfter + 1ms;
        }
    }
    EXPECT_EQ(seek.target(now), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, PendingSeekSequence,
    testing::Values(
        Case{"NothingWritten", {}, std::nullopt}, Case{"JustWritten", {"seek 5"}, 5.0},
        Case{"RestartBeforeAcknowledgement", {"seek 5", "restart"}, 5.0},
        Case{"Done", {"seek 5", "reply 1", "restart"}, std::nullopt},
        Case{"SecondWriteOutlivesFirstSeek",
             {"seek 5", "reply 1", "seek 7", "restart", "reply 2"},
             7.0},
        Case{"LateReplyOfFirstSeekIgnored", {"seek 5", "seek 7", "reply 1", "restart"}, 7.0},
        Case{"SecondSeekDone", {"seek 5", "seek 7", "reply 1", "reply 2", "restart"}, std::nullopt},
        Case{"RefusedSeekForgotten", {"seek 5", "fail 1"}, std::nullopt},
        Case{"GivenUpAfterSilence", {"seek 5", "reply 1", "wait"}, std::nullopt},
        Case{"NewWriteAfterGivingUp", {"seek 5", "wait", "seek 3"}, 3.0}),
    byName);

}  // namespace
