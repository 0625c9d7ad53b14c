#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QMutex>
#include <QStringList>
#include <QTest>
#include <cstdlib>

#include "MpvVideoWidget.h"
#include "PlayerHarness.h"
#include "TestMedia.h"

namespace {

// What was logged about X errors, from whichever thread met them (libmpv's video output
// draws on its own).
QMutex g_mutex;
QStringList g_xErrors;
QtMessageHandler g_previous = nullptr;

void recordXErrors(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains("X error", Qt::CaseInsensitive) || text.contains("X11 error")) {
        QMutexLocker lock(&g_mutex);
        g_xErrors << text;
    }
    g_previous(type, context, text);
}

QStringList xErrors() {
    QMutexLocker lock(&g_mutex);
    return g_xErrors;
}

// Waits until the X server has done what Qt asked of it so far.
void syncWithXServer() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_NE(x11, nullptr);
    free(xcb_get_input_focus_reply(x11->connection(), xcb_get_input_focus(x11->connection()),
                                   nullptr));
}

// Two players showing pictures, as in the window, torn down in pieces.
class TeardownTest : public testing::Test {
protected:
    void SetUp() override {
        g_xErrors.clear();
        g_previous = qInstallMessageHandler(&recordXErrors);
        harness.openPaused(TestMedia::video());
        harness.player(0).play();
        harness.player(1).play();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return harness.player(1).currentPosition() > 0.5; }, 10000));
    }

    void TearDown() override { qInstallMessageHandler(g_previous); }

    PlayerHarness harness{2};
};

TEST_F(TeardownTest, HostDeletedBeforeItsPlayerLeavesLibmpvNothingToDrawInto) {
    // Once one output has closed, X errors reach the program's own log, where they are seen.
    harness.destroyPlayer(0);
    delete &harness.host(1);
    syncWithXServer();
    // Closing libmpv's output waits for the X server, so every error it met has been seen.
    harness.destroyPlayer(1);
    EXPECT_TRUE(xErrors().isEmpty()) << xErrors().join('\n').toStdString();
}

TEST_F(TeardownTest, XErrorAfterAnotherPlayersOutputClosedIsLoggedAndTheProgramGoesOn) {
    harness.destroyPlayer(0);
    // The picture's window vanishes under the remaining player's output, as it can when the X
    // server or another client destroys it.
    auto* video = harness.host(1).findChild<MpvVideoWidget*>();
    ASSERT_NE(video, nullptr);
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_NE(x11, nullptr);
    xcb_destroy_window(x11->connection(), static_cast<xcb_window_t>(video->winId()));
    syncWithXServer();

    EXPECT_TRUE(QTest::qWaitFor([&] { return !xErrors().isEmpty(); }, 10000));
}

// libmpv may still be on its way when the window goes: the player must not start it then,
// into a window that no longer exists.
TEST(PlayerWhoseHostWentFirst, RefusesToOpenInsteadOfStartingLibmpv) {
    PlayerHarness harness{1};
    delete &harness.host(0);
    EXPECT_THROW(harness.player(0).setURL(TestMedia::video()), PlayerError);
}

}  // namespace
