// The registry on the portal platform against a fake desktop portal: keys are bound in one
// request, activations arrive as hot-key presses, refusals are reported once, and the
// desktop's bindings are released with the keys.
#include <gtest/gtest.h>

#include <QWidget>
#include <memory>
#include <optional>

#include "FakePortal.h"
#include "MessageHook.h"
#include "NamedCases.h"
#include "PortalHotKeyPlatform.h"
#include "RecordingSubclass.h"
#include "X11HotKeyPlatform.h"
#include "cHotKeyRegistry.h"

namespace {

class PortalKeys : public testing::Test {
protected:
    void SetUp() override {
        window.show();
        hwnd = static_cast<HWND>(window.winId());
        platform.onUnavailable = [this](const std::string& why) { unavailable.push_back(why); };
        registry = std::make_unique<cHotKeyRegistry>(platform, MessageHook::instance());
        registry->HotKeyPress.connect([this](const std::string& name, std::int32_t, std::int32_t) {
            presses.push_back(name);
        });
        MessageHook::instance().HookMessage(raw, hwnd, WM_HOTKEY);
    }
    void TearDown() override {
        MessageHook::instance().UnhookMessage(raw, hwnd, WM_HOTKEY);
        registry.reset();
    }

    void registerTheThreeKeys() {
        registry->Attach(hwnd);
        registry->RegisterKey("spielen", 114, 0);
        registry->RegisterKey("stop", 113, 0);
        registry->RegisterKey("zurueck", 112, 0);
    }
    bool boundInOneRequest(const QString& keys) {
        return QTest::qWaitFor([&] { return portal.called("BindShortcuts " + keys); }, 10000);
    }
    bool activateWhenBound(const QString& id) {
        return QTest::qWaitFor([&] { return portal.activate(id); }, 10000);
    }

    FakePortal portal;
    QWidget window;
    HWND hwnd = 0;
    X11HotKeyPlatform windows{MessageHook::instance()};
    PortalHotKeyPlatform platform{windows, MessageHook::instance(), QDBusConnection::sessionBus()};
    std::unique_ptr<cHotKeyRegistry> registry;
    RecordingSubclass raw;
    std::vector<std::string> presses;
    std::vector<std::string> unavailable;
};

// The desktop takes its time, as a dialog asking the user does; the window does not wait.
TEST_F(PortalKeys, ActivationArrivesAsThePressOfTheRegisteredKey) {
    ASSERT_TRUE(portal.start("accept", 1500));
    registerTheThreeKeys();
    EXPECT_FALSE(portal.calls().join(',').contains("Response")) << "registration waited";
    ASSERT_TRUE(boundInOneRequest("spielen=F3,stop=F2,zurueck=F1"));
    ASSERT_TRUE(activateWhenBound("stop"));

    ASSERT_TRUE(QTest::qWaitFor([&] { return !presses.empty(); }, 10000));
    EXPECT_EQ(presses, std::vector<std::string>{"stop"});
    // Packed as a grabbed key's message is: key code high, modifiers low; the registry's own
    // test pins how it is unpacked.
    ASSERT_EQ(raw.messages.size(), 1u);
    EXPECT_EQ(raw.messages[0].lParam, 113 << 16);
    EXPECT_TRUE(unavailable.empty());
}

// Whatever keeps the keys from the user, it is said once and the registry stays as it was.
struct Refusal {
    const char* name;
    std::optional<QString> answer;  // nothing: no portal on the bus
};

class PortalRefusal : public PortalKeys, public testing::WithParamInterface<Refusal> {};

TEST_P(PortalRefusal, IsReportedOnceAndActivatesNothing) {
    if (GetParam().answer) {
        ASSERT_TRUE(portal.start(*GetParam().answer));
    }
    registerTheThreeKeys();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !unavailable.empty(); }, 30000));
    if (GetParam().answer) {
        EXPECT_FALSE(portal.activate("spielen"));
    }
    // A later change of the keys does not ask, or report, again.
    EXPECT_NO_THROW(registry->UnregisterKey("stop"));
    QTest::qWait(0);
    EXPECT_EQ(unavailable.size(), 1u);
    EXPECT_TRUE(presses.empty());
}

INSTANTIATE_TEST_SUITE_P(, PortalRefusal,
                         testing::Values(Refusal{"UserDeclines", QString("decline")},
                                         Refusal{"DesktopFails", QString("fail")},
                                         Refusal{"NoPortal", std::nullopt}),
                         byName);

TEST_F(PortalKeys, ReleasedKeysLeaveTheDesktop) {
    ASSERT_TRUE(portal.start("accept"));
    registerTheThreeKeys();
    ASSERT_TRUE(activateWhenBound("spielen"));

    // One key released: the others are bound again without it.
    registry->UnregisterKey("stop");
    ASSERT_TRUE(boundInOneRequest("spielen=F3,zurueck=F1"));
    EXPECT_EQ(portal.calls().filter("Close ").size(), 1);

    // All released: nothing stays bound.
    registry->Clear();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return portal.calls().filter("Close ").size() == 2; }, 10000));
    EXPECT_FALSE(portal.activate("spielen"));
}

TEST_F(PortalKeys, KeysReleasedWhileTheDesktopOpensTheSessionAreNeverBound) {
    ASSERT_TRUE(portal.start("accept", 1500));
    registerTheThreeKeys();
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal.called("CreateSession"); }, 10000));
    registry->Clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !portal.calls().filter("Close ").isEmpty(); }, 10000));
    EXPECT_TRUE(portal.calls().filter("BindShortcuts").isEmpty());
}

}  // namespace
