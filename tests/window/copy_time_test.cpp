// The time into the transcript: player 1's position as "[hh:mm:ss.d]" on the clipboard.

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <cmath>
#include <limits>

#include "TimeStamp.h"
#include "WindowFixture.h"

namespace {

struct Stamp {
    const char* name;
    double seconds;
    const char* text;
};

class TimeStamps : public testing::TestWithParam<Stamp> {};

TEST_P(TimeStamps, ShowHoursAlwaysAndCutToTenths) {
    EXPECT_EQ(timeStampText(GetParam().seconds), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    , TimeStamps,
    testing::Values(Stamp{"Start", 0.0, "[00:00:00.0]"},
                    Stamp{"JustBeforeAMinuteIsCutNotRounded", 59.95, "[00:00:59.9]"},
                    Stamp{"AHairBeforeAMinute", 59.999, "[00:00:59.9]"},
                    Stamp{"AMinute", 60.0, "[00:01:00.0]"},
                    Stamp{"ATenthThatBinaryCannotHold", 247.3, "[00:04:07.3]"},
                    Stamp{"AnHour", 3600.0, "[01:00:00.0]"},
                    Stamp{"TenHours", 36000.0, "[10:00:00.0]"},
                    Stamp{"AHundredHoursTakeAThirdDigit", 360000.0, "[100:00:00.0]"},
                    Stamp{"BelowZero", -0.5, "[00:00:00.0]"},
                    Stamp{"NotANumber", std::numeric_limits<double>::quiet_NaN(), "[00:00:00.0]"}),
    byName);

class CopyTime : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        clipboard()->setText("untouched", QClipboard::Clipboard);
    }
    static QClipboard* clipboard() { return QGuiApplication::clipboard(); }
    static QString copied() { return clipboard()->text(QClipboard::Clipboard); }
};

TEST_F(CopyTime, PutsPlayerOnesPositionOnTheClipboard) {
    window->geladen1 = true;
    stand(247.38, true, 12.0, true);
    window->copy_time_Click();
    EXPECT_EQ(copied(), "[00:04:07.3]");
    // Nothing else is touched: both players play on.
    EXPECT_EQ(players.calls, std::vector<std::string>{"wmp1.currentPosition"});
}

TEST_F(CopyTime, LeavesTheClipboardAloneWithoutAFileInPlayerOne) {
    window->geladen2 = true;
    window->copy_time_Click();
    EXPECT_EQ(copied(), "untouched");
    EXPECT_TRUE(players.calls.empty());
}

// The button takes no focus from the player, and a player that does not answer costs only
// a line in the log.
TEST_F(CopyTime, TheButtonKeepsTheFocusWhereItIs) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ui().wmp1->setFocus();
    window->geladen1 = true;
    p1->position = 3601.25;
    QTest::mouseClick(ui().copy_time, Qt::LeftButton);
    EXPECT_EQ(copied(), "[01:00:01.2]");
    EXPECT_EQ(window->focusWidget(), ui().wmp1);

    players.failOn("wmp1.currentPosition");
    clipboard()->setText("untouched", QClipboard::Clipboard);
    QTest::mouseClick(ui().copy_time, Qt::LeftButton);
    EXPECT_EQ(copied(), "untouched");
}

}  // namespace
