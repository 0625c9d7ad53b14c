// The speed on a private session bus: the command remote's SetSpeed as any bus client may send
// it, and the media-player interface's Rate. (What `pellucor --speed` refuses is parsed, and
// pinned, in command_line_test, before anything reaches the bus.)
#include <gtest/gtest.h>

#include <QtTest/QTest>

#include "NamedCases.h"
#include "QtSupport.h"
#include "RemoteFixture.h"

namespace {

Finished writeRate(const char* rate) {
    return busCall("org.mpris.MediaPlayer2.pellucor", "/org/mpris/MediaPlayer2",
                   "org.freedesktop.DBus.Properties.Set",
                   {"string:org.mpris.MediaPlayer2.Player", "string:Rate",
                    QStringLiteral("variant:double:") + rate});
}

struct Speed {
    const char* name;
    const char* speed;
};

class RefusedSetSpeed : public Remote, public testing::WithParamInterface<Speed> {};

// Another bus client may send what the command line never would.
TEST_P(RefusedSetSpeed, IsAnInvalidArgument) {
    const Finished result =
        busCall("org.pellucor.Pellucor", "/org/pellucor/Pellucor", "org.pellucor.Pellucor.SetSpeed",
                {QStringLiteral("double:") + GetParam().speed});
    expectRefusedAndNothingDone(result);
}

INSTANTIATE_TEST_SUITE_P(, RefusedSetSpeed,
                         testing::Values(Speed{"TooSlow", "0.49"}, Speed{"TooFast", "2.01"},
                                         Speed{"Zero", "0"}, Speed{"Negative", "-1"}),
                         byName);

TEST_F(Remote, RateIsTheWindowsSpeedWithinItsRange) {
    EXPECT_TRUE(mprisProperty("Rate").out.contains("double 1"));
    EXPECT_TRUE(mprisProperty("MinimumRate").out.contains("double 0.5"));
    EXPECT_TRUE(mprisProperty("MaximumRate").out.contains("double 2"));
    transport.rate = 0.75;
    EXPECT_TRUE(
        QTest::qWaitFor([] { return mprisProperty("Rate").out.contains("double 0.75"); }, 10000));
}

struct RateWrite {
    const char* name;
    const char* rate;
    std::vector<std::string> expected;
};

class WrittenRate : public Remote, public testing::WithParamInterface<RateWrite> {};

// Out of range is ignored; 0 pauses, as the media-player interface asks.
TEST_P(WrittenRate, SetsTheSpeedPausesOrIsIgnored) {
    const Finished result = writeRate(GetParam().rate);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    expectOnlyBeforeAPause(GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(, WrittenRate,
                         testing::Values(RateWrite{"InRange", "0.75", {"setSpeed(0.75)"}},
                                         RateWrite{"Fastest", "2", {"setSpeed(2)"}},
                                         RateWrite{"ZeroPauses", "0", {"pause"}},
                                         RateWrite{"TooFastIgnored", "4", {}},
                                         RateWrite{"TooSlowIgnored", "0.25", {}}),
                         byName);

TEST_F(Remote, TellsListenersOfANewRate) {
    Listener monitor("dbus-monitor", {"--session",
                                      "type='signal',interface='org.freedesktop.DBus.Properties',"
                                      "member='PropertiesChanged',path='/org/mpris/MediaPlayer2'"});
    ASSERT_TRUE(monitor.started());
    // The monitor is listening once it has printed its own name's arrival.
    ASSERT_TRUE(monitor.saw("NameAcquired"));
    transport.rate = 1.25;
    EXPECT_TRUE(monitor.saw("double 1.25"));
    EXPECT_TRUE(monitor.seen().contains("\"Rate\""));
}

}  // namespace
