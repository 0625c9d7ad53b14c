// The registry on the portal platform against a fake desktop portal: keys are bound in one
// request, wherever the desktop reads them, activations arrive as hot-key presses, refusals
// and missing keys are reported once, and the desktop's bindings are released with the keys.
#include <gtest/gtest.h>

#include <QWidget>
#include <QtGlobal>
#include <memory>
#include <optional>

#include "CategoryWarnings.h"
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

    void registerTheThreeKeys() { registerTheThreeKeys(*registry); }
    void registerTheThreeKeys(cHotKeyRegistry& keys) {
        keys.Attach(hwnd);
        keys.RegisterKey("spielen", 114, 0);
        keys.RegisterKey("stop", 113, 0);
        keys.RegisterKey("zurueck", 112, 0);
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return !portal.callsOf("CreateSession").isEmpty(); }, 10000));
    registry->Clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !portal.calls().filter("Close ").isEmpty(); }, 10000));
    EXPECT_TRUE(portal.calls().filter("BindShortcuts").isEmpty());
}

// Where each desktop reads the shortcuts from: later desktops in BindShortcuts, KDE Plasma
// 5.27 only in CreateSession, whose BindShortcuts answers with no shortcuts at all.
struct Binding {
    const char* name;
    const char* bindsIn;
};

const auto kBindings =
    testing::Values(Binding{"InBindShortcuts", "bind"}, Binding{"InCreateSession", "create"});

class PortalBinding : public PortalKeys, public testing::WithParamInterface<Binding> {
protected:
    bool start(const QStringList& more = {}) {
        return portal.start("accept", 0, QStringList{"--binds-in", GetParam().bindsIn} + more);
    }
    // The press of one key, after the ones before it.
    bool pressArrives(const QString& id) {
        const std::size_t before = presses.size();
        return activateWhenBound(id) &&
               QTest::qWaitFor([&] { return presses.size() > before; }, 10000) &&
               presses.back() == id.toStdString();
    }
};

TEST_P(PortalBinding, EveryKeyWorksAndNothingIsReported) {
    ASSERT_TRUE(start());
    registerTheThreeKeys();
    for (const QString id : {"spielen", "stop", "zurueck"})
        EXPECT_TRUE(pressArrives(id)) << id.toStdString();
    EXPECT_TRUE(unavailable.empty());
    // Plasma 5.27's BindShortcuts opens its settings: not asked once CreateSession bound all.
    EXPECT_EQ(portal.callsOf("BindShortcuts").size(), GetParam().bindsIn == std::string("bind"));
}

// A shortcut the desktop leaves without a key (another program holds it, the user refused
// it) is said once, named in the log; the keys it did bind work.
TEST_P(PortalBinding, AShortcutLeftWithoutAKeyIsReportedOnceAndTheOthersWork) {
    CategoryWarnings warnings("pellucor.portal");
    ASSERT_TRUE(start({"--no-key", "stop"}));
    registerTheThreeKeys();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !unavailable.empty(); }, 10000));
    EXPECT_TRUE(pressArrives("spielen"));
    EXPECT_TRUE(pressArrives("zurueck"));
    EXPECT_FALSE(portal.activate("stop"));
    EXPECT_EQ(unavailable.size(), 1u);
    EXPECT_EQ(warnings.seen().filter("\"stop\"").size(), 1)
        << warnings.seen().join('\n').toStdString();
}

// The user takes a key away in the desktop's settings while the program runs.
TEST_P(PortalBinding, AKeyTakenAwayLaterIsReportedOnce) {
    CategoryWarnings warnings("pellucor.portal");
    ASSERT_TRUE(start());
    registerTheThreeKeys();
    ASSERT_TRUE(pressArrives("zurueck"));
    ASSERT_TRUE(unavailable.empty());
    ASSERT_TRUE(portal.takeKey("zurueck"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !unavailable.empty(); }, 10000));
    ASSERT_TRUE(portal.takeKey("stop"));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return warnings.seen().filter("\"stop\"").size() == 1; }, 10000));
    EXPECT_EQ(unavailable.size(), 1u);
    EXPECT_EQ(warnings.seen().filter("\"zurueck\"").size(), 1);
}

INSTANTIATE_TEST_SUITE_P(, PortalBinding, kBindings, byName);

// Each start asks for the same session, with the three shortcuts already in CreateSession:
// the desktop keeps one set of shortcuts for the program, with the keys the user gave them.
TEST_F(PortalKeys, EveryStartAsksForTheSameSessionWithTheShortcuts) {
    ASSERT_TRUE(portal.start("accept"));
    for (int start = 0; start < 2; ++start) {
        PortalHotKeyPlatform keys{windows, MessageHook::instance(), QDBusConnection::sessionBus()};
        keys.setDescriptions({{"spielen", "play"}, {"stop", "pause"}, {"zurueck", "back"}});
        keys.setSessionToken("org.pellucor.Pellucor");
        cHotKeyRegistry starting(keys, MessageHook::instance());
        registerTheThreeKeys(starting);
        ASSERT_TRUE(activateWhenBound("spielen")) << "start " << start;
    }
    const QString expected =
        "CreateSession token=org_pellucor_Pellucor shortcuts=spielen=F3,stop=F2,zurueck=F1";
    EXPECT_EQ(portal.callsOf("CreateSession"), QStringList({expected, expected}));
}

// A second copy checks first whether it is one; until then it binds nothing.
TEST_F(PortalKeys, HeldKeysAreBoundOnlyOnceReleased) {
    ASSERT_TRUE(portal.start("accept"));
    platform.holdBinding();
    registerTheThreeKeys();
    QTest::qWait(0);
    EXPECT_TRUE(portal.callsOf("CreateSession").isEmpty());
    platform.releaseBinding();
    EXPECT_TRUE(activateWhenBound("stop"));
}

}  // namespace
