#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "CaseSteps.h"
#include "NamedCases.h"
#include "PlayerPosition.h"

namespace {

using namespace std::chrono_literals;

// One step of what the player and libmpv do. "open" starts a new file, "taken" is libmpv taking
// it, "restart" a restart of its playback and "early-restart" one before it is loaded;
// "seek N" writes N seconds, "reply K" acknowledges the K-th seek (1-based) and "fail K"
// refuses it; "report X" is a position report and "lost" one without a position; "wait" lets
// more than the give-up time pass.
struct PositionCase {
    std::string name;
    std::vector<std::string> steps;
    double expected;
};

class PlayerPositionSequence : public testing::TestWithParam<PositionCase> {};

TEST_P(PlayerPositionSequence, ReadsWhereThePlayerStands) {
    PlayerPosition position;
    auto now = PlayerPosition::Clock::time_point{};
    PlayerPosition::Report report;
    std::vector<std::uint64_t> ids;
    for (const std::string& step : GetParam().steps) {
        const auto [verb, arg] = splitStep(step);
        if (verb == "open") {
            position.fileOpening();
        } else if (verb == "taken") {
            position.fileTaken(report.serial);
        } else if (verb == "restart" || verb == "early-restart") {
            position.restarted(verb == "restart", now);
        } else if (verb == "seek") {
            ids.push_back(position.seekBegins(std::stod(arg), now));
        } else if (verb == "reply" || verb == "fail") {
            position.seekReplied(ids.at(std::stoul(arg) - 1), verb == "fail", report.serial, now);
        } else if (verb == "report" || verb == "lost") {
            report = {verb == "report" ? std::optional(std::stod(arg)) : std::nullopt,
                      report.serial + 1};
            position.reported(report, now);
        } else if (verb == "wait") {
            now += PendingSeek::kGiveUpAfter + 1ms;
        } else {
            FAIL() << "unknown step " << step;
        }
    }
    EXPECT_DOUBLE_EQ(position.position(report, now), GetParam().expected);
}

const std::vector<std::string> kSettled = {"open", "taken", "restart", "report 2"};

std::vector<std::string> settledThen(std::vector<std::string> steps) {
    steps.insert(steps.begin(), kSettled.begin(), kSettled.end());
    return steps;
}

INSTANTIATE_TEST_SUITE_P(
    Steps, PlayerPositionSequence,
    testing::Values(
        PositionCase{"NewFileStandsAtItsStart", {"report 7", "open", "report 7"}, 0.0},
        PositionCase{"ReportOfTheLastFileIgnored", {"open", "report 7", "taken", "restart"}, 0.0},
        PositionCase{"ReportsOfASettledFileCount", kSettled, 2.0},
        PositionCase{"RestartBeforeTheFileLoadedSettlesNothing",
                     {"open", "taken", "early-restart", "report 3"},
                     0.0},
        PositionCase{"ReportBeforeStartReadsAsStart", settledThen({"report 3", "report -0.02"}),
                     0.0},
        PositionCase{"SeekReadsBackAsWritten", settledThen({"seek 10", "report 2.1"}), 10.0},
        PositionCase{"ReportOlderThanTheLastSeekIgnored",
                     settledThen({"seek 10", "reply 1", "restart"}), 10.0},
        PositionCase{"ReportAfterTheSeekLandedCounts",
                     settledThen({"seek 10", "reply 1", "restart", "report 10.04"}), 10.04},
        PositionCase{"RefusedSeekLetsReportsCountAgain", settledThen({"seek 10", "fail 1"}), 2.0},
        PositionCase{"SilentSeekGivenUp", settledThen({"seek 10", "reply 1", "wait"}), 2.0},
        PositionCase{"ReportsCountAfterTheGivenUpSeek",
                     settledThen({"seek 10", "wait", "restart", "report 11"}), 11.0},
        PositionCase{"LostReportKeepsTheLastThatCounted", settledThen({"report 4", "lost"}), 4.0},
        PositionCase{"LostReportAfterASeekKeepsItsTarget",
                     settledThen({"seek 10", "reply 1", "restart", "lost"}), 10.0},
        PositionCase{"RestartBeforeTheSeekIsTakenKeepsItsTarget",
                     settledThen({"seek 10", "restart", "report 2.1"}), 10.0},
        PositionCase{"SecondWriteOutlivesTheFirstSeek",
                     settledThen({"seek 5", "reply 1", "seek 10", "restart", "report 5.1"}), 10.0},
        PositionCase{"LateReplyOfTheFirstSeekIgnored",
                     settledThen({"seek 5", "seek 10", "reply 1", "restart", "report 5.1"}), 10.0},
        PositionCase{
            "ReportsCountOnceTheSecondSeekLanded",
            settledThen({"seek 5", "seek 10", "reply 1", "reply 2", "restart", "report 10.04"}),
            10.04},
        PositionCase{"NewWriteAfterGivingUpReadsBack", settledThen({"seek 5", "wait", "seek 3"}),
                     3.0}),
    byName);

TEST(PlayerPositionTest, ReportIsCurrentOnlyOnceTheSeekHasSettled) {
    PlayerPosition position;
    const auto now = PlayerPosition::Clock::time_point{};
    position.fileOpening();
    position.fileTaken(0);
    position.restarted(true, now);
    EXPECT_TRUE(position.isCurrent(1, now));
    const auto id = position.seekBegins(10.0, now);
    EXPECT_TRUE(position.seeking(now));
    EXPECT_FALSE(position.isCurrent(2, now));
    position.seekReplied(id, false, 2, now);
    position.restarted(true, now);
    EXPECT_FALSE(position.seeking(now));
    EXPECT_FALSE(position.isCurrent(2, now)) << "made before libmpv took the seek";
    EXPECT_TRUE(position.isCurrent(3, now));
}

// A paused player standing well short of where its last seek went, for a second, stands where
// its data ends: not for a moment, not after a seek libmpv refused or never answered, not in the
// next file.
class StandingShort : public testing::Test {
protected:
    using Clock = PlayerPosition::Clock;
    // A seek to 12 s of a 20 s file that libmpv took; the reports count from now on.
    void SetUp() override {
        position.fileOpening();
        const auto id = position.seekBegins(12.0, start);
        position.seekReplied(id, false, 1, start);
        position.restarted(true, start);
    }
    bool standsAt(std::optional<double> at, int ms) {
        return position.standsShort(at, 20.0, start + std::chrono::milliseconds(ms));
    }

    PlayerPosition position;
    const Clock::time_point start{};
};

TEST_F(StandingShort, ForASecondWhereTheDataEnds) {
    EXPECT_FALSE(standsAt(5.96, 0));
    EXPECT_FALSE(standsAt(5.96, 750));
    EXPECT_TRUE(standsAt(5.96, 1000));
}

TEST_F(StandingShort, NotWhereSentNorForAMomentNorWhilePlaying) {
    EXPECT_FALSE(standsAt(12.0, 0));
    EXPECT_FALSE(standsAt(0.0, 250)) << "a stale report";
    EXPECT_FALSE(standsAt(12.0, 500));
    EXPECT_FALSE(standsAt(0.0, 750));
    EXPECT_FALSE(standsAt(std::nullopt, 1000)) << "playing";
    EXPECT_FALSE(standsAt(0.0, 1500));
    EXPECT_FALSE(standsAt(11.96, 5000)) << "on the picture before";
}

TEST_F(StandingShort, AnEndToldThereIsWhereTheDataEndsButNotOnceRewound) {
    EXPECT_TRUE(position.endedShortOfSeek(5.96, 20.0));
    EXPECT_FALSE(position.endedShortOfSeek(12.0, 20.0)) << "where it was sent";
    // At its end a player rewinds; libmpv's news of that end may come after the landing.
    const auto rewound = position.seekBegins(0.0, start);
    position.seekReplied(rewound, false, 2, start);
    position.restarted(true, start);
    EXPECT_FALSE(position.endedShortOfSeek(0.0, 20.0)) << "the end before the rewind";
}

TEST_F(StandingShort, NotAfterARefusedOrUnansweredSeekOrInTheNextFile) {
    const auto refused = position.seekBegins(15.0, start);
    position.seekReplied(refused, true, 2, start);
    EXPECT_FALSE(standsAt(5.96, 0));
    EXPECT_FALSE(standsAt(5.96, 2000)) << "refused";
    const auto silentFrom = start + std::chrono::seconds(3);
    position.seekBegins(15.0, silentFrom);
    position.reported({5.96, 3}, silentFrom + PendingSeek::kGiveUpAfter + std::chrono::seconds(1));
    EXPECT_FALSE(standsAt(5.96, 7000));
    EXPECT_FALSE(standsAt(5.96, 9000)) << "never answered";
    position.seekBegins(15.0, start + std::chrono::seconds(10));
    position.fileOpening();
    EXPECT_FALSE(standsAt(5.96, 11000));
    EXPECT_FALSE(standsAt(5.96, 13000)) << "the file before";
}

// Where a file's data ended, against its length: at the length, or as far short of it as an
// estimated length is off, the file ended; well before it, its data ran out.
struct EndCase {
    const char* name;
    std::optional<double> at;
    std::optional<double> length;
    bool early;
};

class FileEnd : public testing::TestWithParam<EndCase> {};

TEST_P(FileEnd, EndedEarlyOnlyWellBeforeItsLength) {
    EXPECT_EQ(PlayerPosition::endedEarly(GetParam().at, GetParam().length), GetParam().early);
}

INSTANTIATE_TEST_SUITE_P(Ends, FileEnd,
                         testing::Values(EndCase{"OnItsLastPicture", 19.96, 20.0, false},
                                         EndCase{"ASecondShortOfAShortFile", 9.0, 10.0, false},
                                         EndCase{"AMinuteShortOfAnHourLongEstimate", 3540.0, 3600.0,
                                                 false},
                                         EndCase{"AtAThird", 6.0, 20.0, true},
                                         EndCase{"TwoSecondsShortOfAShortFile", 8.0, 10.0, true},
                                         EndCase{"FiveMinutesShortOfAnHour", 3300.0, 3600.0, true},
                                         EndCase{"WithoutALength", 6.0, std::nullopt, false},
                                         EndCase{"WithoutAPosition", std::nullopt, 20.0, false}),
                         byName);

}  // namespace
