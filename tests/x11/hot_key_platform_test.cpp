#include <gtest/gtest.h>

#include <QWidget>
#include <memory>
#include <string>

#include "OtherClient.h"
#include "PlatformError.h"
#include "QtSupport.h"
#include "RecordingSubclass.h"
#include "X11HotKeyPlatform.h"

namespace {

constexpr std::int32_t kF3 = 114;
constexpr std::int32_t kF5 = 116;
constexpr std::int32_t kId = -16000;

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
    const char* label;
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
    [](const auto& p) { return std::string(p.param.label); });

struct Press {
    const char* label;
    const char* keys;
    std::int32_t modifiers;  // registered with the key
    std::int32_t virtualKey;
};

// Presses come from a separate program while a window of another client has the focus.
class PressFromAnotherProgram : public HotKeyPlatformTest,
                                public testing::WithParamInterface<Press> {};

TEST_P(PressFromAnotherProgram, ReachesTheWindowAsHotKey) {
    const Press& p = GetParam();
    ASSERT_TRUE(platform->RegisterHotKey(hwnd, kId, p.modifiers, p.virtualKey));
    other.takeFocus();

    ASSERT_TRUE(pressKeys({p.keys}));
    ASSERT_TRUE(waitFor([&] { return !receiver.messages.empty(); })) << p.keys;
    EXPECT_EQ(receiver.messages[0], (RecordingSubclass::Message{
                                        hwnd, WM_HOTKEY, kId, (p.virtualKey << 16) | p.modifiers}));
}

INSTANTIATE_TEST_SUITE_P(Keys, PressFromAnotherProgram,
                         testing::Values(Press{"F3", "F3", 0, kF3},
                                         Press{"CtrlAltP", "ctrl+alt+p", 3, 'P'},
                                         Press{"SuperShiftA", "super+shift+a", 12, 'A'}),
                         [](const auto& p) { return std::string(p.param.label); });

TEST_F(HotKeyPlatformTest, ShiftF3IsNotThePlainF3HotKey) {
    ASSERT_TRUE(platform->RegisterHotKey(hwnd, kId, 0, kF3));
    ASSERT_TRUE(platform->RegisterHotKey(hwnd, kId + 1, 0, kF5));
    other.takeFocus();
    ASSERT_TRUE(pressKeys({"shift+F3", "F5"}));
    // Presses arrive in order: once F5 is handled, a Shift+F3 taken for F3 would be too.
    ASSERT_TRUE(waitFor([&] { return !receiver.messages.empty() && hook.pending() == 0; }));
    ASSERT_EQ(receiver.messages.size(), 1u);
    EXPECT_EQ(receiver.messages[0].lParam, kF5 << 16);
}

}  // namespace
