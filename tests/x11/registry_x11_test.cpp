#include <gtest/gtest.h>

#include <QProcess>
#include <QWidget>
#include <string>
#include <vector>

#include "OtherClient.h"
#include "QtSupport.h"
#include "X11HotKeyPlatform.h"
#include "cHotKeyRegistry.h"

namespace {

// The registry on the real platform, bound to a real window, as the program's window uses it.
class RegistryOnX11 : public testing::Test {
protected:
    void SetUp() override {
        window.show();
        hwnd = static_cast<HWND>(window.winId());
        registry.HotKeyPress.connect([this](const std::string& sName, std::int32_t, std::int32_t) {
            presses.push_back(sName);
        });
        registry.Attach(hwnd);
        for (const char* key : {"F1", "F2", "F3"})
            keycodes.push_back(other.keycode(key));
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

    MessageHook hook;
    X11HotKeyPlatform platform{hook};
    QWidget window;
    cHotKeyRegistry registry{platform, hook};
    HWND hwnd = 0;
    OtherClient other;
    std::vector<xcb_keycode_t> keycodes;
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
            other.setKeysym(keycodes[2], kF3);
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

    static constexpr std::uint32_t kF3 = 0xffc0;
    xcb_keycode_t moved = 0;
    bool scrollLockMapped = false;
};

TEST_F(KeyboardChange, F3MovedToAnotherKeyCodeFiresThereAndNoLongerAtTheOldOne) {
    registerWindowKeys();
    moved = other.unusedKeycode();
    other.setKeysym(moved, kF3);
    other.setKeysym(keycodes[2], 0);
    ASSERT_TRUE(waitFor([&] { return held(moved, 0) && !held(keycodes[2], 0); }))
        << "the grab did not follow F3 to its new key code";

    other.takeFocus();
    other.press(keycodes[2]);
    other.press(moved);
    ASSERT_TRUE(waitFor([&] { return !presses.empty(); }));
    other.press(keycodes[0]);  // F1: once it is here, the old code's press would be too
    ASSERT_TRUE(waitFor([&] { return presses.size() == 2; }));
    EXPECT_EQ(presses, (std::vector<std::string>{"spielen", "zurueck"}));
}

TEST_F(KeyboardChange, ScrollLockOnAModifierIsCoveredInEveryLockCombination) {
    registerWindowKeys();
    xmodmap("add mod3 = Scroll_Lock");
    scrollLockMapped = true;
    ASSERT_TRUE(waitFor([&] {
        return held(keycodes[2], XCB_MOD_MASK_3) &&
               held(keycodes[2], XCB_MOD_MASK_3 | XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK);
    })) << "no grab for F3 with ScrollLock on";

    other.takeFocus();
    setScrollLock(true);
    ASSERT_TRUE(pressKeys({"F3"}));
    ASSERT_TRUE(waitFor([&] { return presses.size() == 1; }));
    EXPECT_EQ(presses[0], "spielen");
}

}  // namespace
