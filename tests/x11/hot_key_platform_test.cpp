#include <gtest/gtest.h>

#include <QProcess>
#include <QWidget>
#include <QWindow>
#include <memory>
#include <string>
#include <vector>

#include "NamedCases.h"
#include "OtherClient.h"
#include "PlatformError.h"
#include "QtSupport.h"
#include "RecordingSubclass.h"
#include "X11HotKeyPlatform.h"
#include "cHotKeyRegistry.h"

namespace {

constexpr std::int32_t kF3 = 114;
constexpr std::int32_t kF5 = 116;
constexpr std::int32_t kId = -16000;

// The platform as the program's registry uses it, on a real window of this process.
class HotKeyPlatformTest : public testing::Test {
protected:
    void SetUp() override {
        window.resize(200, 100);
        window.show();
        hwnd = static_cast<HWND>(window.winId());
        hook.HookMessage(receiver, hwnd, WM_HOTKEY);
        f3 = other.keycode("F3");
    }

    std::string lastErrorText() {
        char buffer[256];
        return std::string(buffer, platform->FormatMessage(platform->GetLastError(), buffer, 256));
    }

    MessageHook hook;
    std::unique_ptr<X11HotKeyPlatform> platform = std::make_unique<X11HotKeyPlatform>(hook);
    QWidget window;
    HWND hwnd = 0;
    RecordingSubclass receiver;
    OtherClient other;
    xcb_keycode_t f3 = 0;
};

// Which lock variant the other program holds: the rest are free, so our grabs of them
// succeed before the refusal and must be given back.
class RefusedRegistration : public HotKeyPlatformTest,
                            public testing::WithParamInterface<std::size_t> {};

TEST_P(RefusedRegistration, IsReportedAndLeavesNothingGrabbed) {
    const std::uint16_t held = OtherClient::lockVariants()[GetParam()];
    ASSERT_TRUE(other.grab(f3, held));

    EXPECT_FALSE(platform->RegisterHotKey(hwnd, kId, 0, kF3));
    EXPECT_EQ(platform->GetLastError(), code(PlatformError::KeyInUse));
    EXPECT_EQ(lastErrorText(), "Another program already uses this key combination.");

    EXPECT_TRUE(other.grabAllVariants(f3)) << "a refused registration kept a variant";
    other.ungrabAll();
    EXPECT_TRUE(platform->RegisterHotKey(hwnd, kId, 0, kF3));
}

std::string variantName(const testing::TestParamInfo<std::size_t>& info) {
    const char* names[] = {"Plain", "CapsLock", "NumLock", "Both"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(HeldVariant, RefusedRegistration, testing::Values(0, 1, 2, 3),
                         variantName);

TEST_F(HotKeyPlatformTest, UnregisterAndDestructionReleaseEveryVariant) {
    ASSERT_TRUE(platform->RegisterHotKey(hwnd, kId, 0, kF3));
    ASSERT_TRUE(platform->RegisterHotKey(hwnd, kId + 1, 2, kF3));
    EXPECT_FALSE(other.grab(f3, XCB_MOD_MASK_2));

    platform->UnregisterHotKey(hwnd, kId);
    EXPECT_TRUE(other.grabAllVariants(f3));
    EXPECT_FALSE(other.grab(f3, XCB_MOD_MASK_CONTROL)) << "Control+F3 is still ours";
    other.ungrabAll();

    platform.reset();
    EXPECT_TRUE(other.grabAllVariants(f3, XCB_MOD_MASK_CONTROL));
}

struct Refusal {
    const char* name;
    std::int32_t id;
    std::int32_t modifiers;
    std::int32_t virtualKey;
    PlatformError error;
};

class RefusedBeforeGrabbing : public HotKeyPlatformTest,
                              public testing::WithParamInterface<Refusal> {};

TEST_P(RefusedBeforeGrabbing, ReportsWhy) {
    ASSERT_TRUE(platform->RegisterHotKey(hwnd, kId, 0, kF3));
    const Refusal& r = GetParam();
    EXPECT_FALSE(platform->RegisterHotKey(hwnd, r.id, r.modifiers, r.virtualKey));
    EXPECT_EQ(platform->GetLastError(), code(r.error));
    EXPECT_FALSE(lastErrorText().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedBeforeGrabbing,
    testing::Values(Refusal{"UnknownKeyCode", kId + 1, 0, 0xFF, PlatformError::UnknownKeyCode},
                    Refusal{"BadModifiers", kId + 1, 0x4000, kF5, PlatformError::BadModifiers},
                    Refusal{"IdInUse", kId, 0, kF5, PlatformError::IdInUse},
                    Refusal{"KeyRegisteredHere", kId + 1, 0, kF3,
                            PlatformError::KeyRegisteredHere}),
    byName);

struct Press {
    const char* name;
    const char* keys;
    std::int32_t modifiers;  // registered with the key
    std::int32_t virtualKey;
    bool reaches;  // false: the keys are not the registered combination
};

// Presses come from a separate program while a window of another client has the focus; plain
// F3 under every lock is the registry test below. F5 follows every press: presses arrive in
// order, so once F5 is handled a press taken for the hot key would be too.
class PressFromAnotherProgram : public HotKeyPlatformTest,
                                public testing::WithParamInterface<Press> {};

TEST_P(PressFromAnotherProgram, ReachesTheWindowAsHotKeyOnlyForItsCombination) {
    const Press& p = GetParam();
    ASSERT_TRUE(platform->RegisterHotKey(hwnd, kId, p.modifiers, p.virtualKey));
    ASSERT_TRUE(platform->RegisterHotKey(hwnd, kId + 1, 0, kF5));
    other.takeFocus();

    ASSERT_TRUE(pressKeys({p.keys, "F5"}));
    ASSERT_TRUE(waitFor([&] {
        return !receiver.messages.empty() && receiver.messages.back().wParam == kId + 1 &&
               hook.pending() == 0;
    })) << p.keys;
    std::vector<RecordingSubclass::Message> expected{{hwnd, WM_HOTKEY, kId + 1, kF5 << 16}};
    if (p.reaches)
        expected.insert(expected.begin(),
                        {hwnd, WM_HOTKEY, kId, (p.virtualKey << 16) | p.modifiers});
    EXPECT_EQ(receiver.messages, expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, PressFromAnotherProgram,
                         testing::Values(Press{"CtrlAltP", "ctrl+alt+p", 3, 'P', true},
                                         Press{"SuperShiftA", "super+shift+a", 12, 'A', true},
                                         Press{"ShiftF3IsNotPlainF3", "shift+F3", 0, kF3, false}),
                         byName);

// Minimising needs a window manager: the test display runs one (scripts/with-xvfb.sh).
TEST_F(HotKeyPlatformTest, RestoreRunsNoOtherEventAndTheWindowComesBack) {
    ASSERT_TRUE(waitFor([&] { return window.windowHandle()->isExposed(); }));
    EXPECT_FALSE(platform->IsIconic(hwnd));
    window.showMinimized();
    // Qt marks the window minimised at once; the window manager unmaps it later.
    ASSERT_TRUE(waitFor([&] {
        return platform->IsIconic(hwnd) && !window.windowHandle()->isExposed();
    })) << "the window manager did not minimise the window";

    bool otherEventRan = false;
    QMetaObject::invokeMethod(
        qApp, [&] { otherEventRan = true; }, Qt::QueuedConnection);
    platform->SendRestore(hwnd);
    EXPECT_FALSE(otherEventRan) << "the restore ran an event loop";
    EXPECT_FALSE(platform->IsIconic(hwnd));
    EXPECT_TRUE(waitFor([&] { return window.windowHandle()->isExposed(); }));
}

// The registry on the real platform, bound to a real window, as the program's window uses it.
class RegistryOnX11 : public HotKeyPlatformTest {
protected:
    void SetUp() override {
        HotKeyPlatformTest::SetUp();
        registry.HotKeyPress.connect([this](const std::string& sName, std::int32_t, std::int32_t) {
            presses.push_back(sName);
        });
        registry.Attach(hwnd);
        f1 = other.keycode("F1");
    }

    void TearDown() override { setLocks(0); }

    void registerWindowKeys() {
        registry.RegisterKey("spielen", 114, 0);
        registry.RegisterKey("stop", 113, 0);
        registry.RegisterKey("zurueck", 112, 0);
    }

    void setLocks(std::uint16_t wanted) {
        const std::uint16_t state = other.modifierState();
        if ((state & XCB_MOD_MASK_LOCK) != (wanted & XCB_MOD_MASK_LOCK))
            pressKeys({"Caps_Lock"});
        if ((state & XCB_MOD_MASK_2) != (wanted & XCB_MOD_MASK_2))
            pressKeys({"Num_Lock"});
    }

    cHotKeyRegistry registry{*platform, hook};
    xcb_keycode_t f1 = 0;
    std::vector<std::string> presses;
};

class RegistryPress : public RegistryOnX11, public testing::WithParamInterface<std::uint16_t> {};

TEST_P(RegistryPress, RaisesHotKeyPressWithTheRegisteredName) {
    registerWindowKeys();
    other.takeFocus();
    setLocks(GetParam());

    ASSERT_TRUE(pressKeys({"F3", "F1"}));
    ASSERT_TRUE(waitFor([&] { return presses.size() == 2; }));
    EXPECT_EQ(presses, (std::vector<std::string>{"spielen", "zurueck"}));
}

INSTANTIATE_TEST_SUITE_P(Locks, RegistryPress,
                         testing::Values(0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                         XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2),
                         [](const auto& p) {
                             return std::string(p.param == 0 ? "None" : "") +
                                    (p.param & XCB_MOD_MASK_LOCK ? "CapsLock" : "") +
                                    (p.param & XCB_MOD_MASK_2 ? "NumLock" : "");
                         });

// The keyboard changes under the running registry; the keys follow it.
class KeyboardChange : public RegistryOnX11 {
protected:
    void TearDown() override {
        if (moved != 0) {
            other.setKeysym(moved, 0);
            other.setKeysym(f3, kF3Keysym);
        }
        if (scrollLockMapped) {
            setScrollLock(false);
            xmodmap("remove mod3 = Scroll_Lock");
        }
        RegistryOnX11::TearDown();
    }

    static void xmodmap(const QString& expression) {
        ASSERT_EQ(QProcess::execute("xmodmap", {"-e", expression}), 0) << expression.toStdString();
    }
    void setScrollLock(bool on) {
        if (((other.modifierState() & XCB_MOD_MASK_3) != 0) != on)
            pressKeys({"Scroll_Lock"});
    }
    // Whether this client holds keycode with these modifiers: the other program cannot take it.
    bool held(xcb_keycode_t keycode, std::uint16_t modifiers) {
        const bool free = other.grab(keycode, modifiers);
        other.ungrabAll();
        return !free;
    }

    static constexpr std::uint32_t kF3Keysym = 0xffc0;
    xcb_keycode_t moved = 0;
    bool scrollLockMapped = false;
};

TEST_F(KeyboardChange, F3MovedToAnotherKeyCodeFiresThereAndNoLongerAtTheOldOne) {
    registerWindowKeys();
    moved = other.unusedKeycode();
    other.setKeysym(moved, kF3Keysym);
    other.setKeysym(f3, 0);
    ASSERT_TRUE(waitFor([&] { return held(moved, 0) && !held(f3, 0); }))
        << "the grab did not follow F3 to its new key code";

    other.takeFocus();
    other.press(f3);
    other.press(moved);
    ASSERT_TRUE(waitFor([&] { return !presses.empty(); }));
    other.press(f1);  // F1: once it is here, the old code's press would be too
    ASSERT_TRUE(waitFor([&] { return presses.size() == 2; }));
    EXPECT_EQ(presses, (std::vector<std::string>{"spielen", "zurueck"}));
}

TEST_F(KeyboardChange, ScrollLockOnAModifierIsCoveredInEveryLockCombination) {
    registerWindowKeys();
    xmodmap("add mod3 = Scroll_Lock");
    scrollLockMapped = true;
    ASSERT_TRUE(waitFor([&] {
        return held(f3, XCB_MOD_MASK_3) &&
               held(f3, XCB_MOD_MASK_3 | XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK);
    })) << "no grab for F3 with ScrollLock on";

    other.takeFocus();
    setScrollLock(true);
    ASSERT_TRUE(pressKeys({"F3"}));
    ASSERT_TRUE(waitFor([&] { return presses.size() == 1; }));
    EXPECT_EQ(presses[0], "spielen");
}

}  // namespace
