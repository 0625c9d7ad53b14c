#include <gtest/gtest.h>

#include <QProcess>
#include <QWidget>
#include <QWindow>
#include <memory>
#include <string>

#include "OtherClient.h"
#include "QtSupport.h"
#include "X11HotKeyPlatform.h"

namespace {

// Minimising needs a window manager; one is started for these tests when none runs.
class RestoreWithWindowManager : public testing::Test {
protected:
    static void SetUpTestSuite() {
        OtherClient probe;
        if (probe.windowManagerRunning())
            return;
        s_windowManager = new QProcess;
        s_windowManager->setStandardOutputFile(QProcess::nullDevice());
        s_windowManager->setStandardErrorFile(QProcess::nullDevice());
        s_windowManager->start("openbox", {});
        if (!waitFor([&] { return probe.windowManagerRunning(); }, 5000)) {
            delete s_windowManager;
            s_windowManager = nullptr;
        }
        // The manager announces itself before it handles its first window.
        waitFor([] { return false; }, 1000);
    }

    static void TearDownTestSuite() {
        if (s_windowManager == nullptr)
            return;
        s_windowManager->terminate();
        s_windowManager->waitForFinished(3000);
        delete s_windowManager;
        s_windowManager = nullptr;
    }

    void SetUp() override {
        if (!OtherClient().windowManagerRunning()) {
            GTEST_SKIP() << "no window manager: openbox could not be started";
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

    static inline QProcess* s_windowManager = nullptr;
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
