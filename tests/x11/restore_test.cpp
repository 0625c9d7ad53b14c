#include <gtest/gtest.h>

#include <QWidget>
#include <QWindow>
#include <memory>
#include <string>

#include "OtherClient.h"
#include "QtSupport.h"
#include "X11HotKeyPlatform.h"

namespace {

// Minimising needs a window manager: the test display runs one (scripts/with-xvfb.sh).
class RestoreWithWindowManager : public testing::Test {
protected:
    void SetUp() override {
        if (!OtherClient().windowManagerRunning()) {
            GTEST_SKIP() << "minimising needs a window manager";
        }
        window.resize(300, 200);
        window.show();
        ASSERT_TRUE(waitFor([&] { return window.windowHandle()->isExposed(); }));
        hwnd = static_cast<HWND>(window.winId());
    }

    void minimise() {
        window.showMinimized();
        // Qt marks the window minimised at once; the window manager unmaps it later.
        ASSERT_TRUE(waitFor([&] {
            return platform.IsIconic(hwnd) && !window.windowHandle()->isExposed();
        })) << "the window manager did not minimise the window";
    }

    MessageHook hook;
    X11HotKeyPlatform platform{hook};
    QWidget window;
    HWND hwnd = 0;
};

TEST_F(RestoreWithWindowManager, RestoreRunsNoOtherEventAndTheWindowComesBack) {
    EXPECT_FALSE(platform.IsIconic(hwnd));
    minimise();
    bool otherEventRan = false;
    QMetaObject::invokeMethod(
        qApp, [&] { otherEventRan = true; }, Qt::QueuedConnection);
    platform.SendRestore(hwnd);
    EXPECT_FALSE(otherEventRan) << "the restore ran an event loop";
    EXPECT_FALSE(platform.IsIconic(hwnd));
    EXPECT_TRUE(waitFor([&] { return window.windowHandle()->isExposed(); }));
}

}  // namespace
