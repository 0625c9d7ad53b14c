// Where the window runs and where its keys come from, for the desktops users start it in;
// and the key names the desktop is told.
#include <gtest/gtest.h>

#include "NamedCases.h"
#include "SessionChoice.h"
#include "Triggers.h"

namespace {

struct SessionCase {
    const char* name;
    SessionFacts facts;
    std::optional<std::string> qpa;
    KeySource keys;
    bool noDisplay;
};

class Sessions : public testing::TestWithParam<SessionCase> {};

TEST_P(Sessions, ChooseDisplayAndKeys) {
    const SessionChoice choice = chooseSession(GetParam().facts);
    EXPECT_EQ(choice.noDisplay, GetParam().noDisplay);
    if (GetParam().noDisplay)
        return;
    EXPECT_EQ(choice.qpaPlatform, GetParam().qpa);
    EXPECT_EQ(choice.keys, GetParam().keys);
}

constexpr auto X = KeySource::X11Grabs;
constexpr auto P = KeySource::Portal;

INSTANTIATE_TEST_SUITE_P(
    , Sessions,
    testing::Values(
        SessionCase{"X11Session", {"", "", "x11", true, false}, "xcb", X, false},
        SessionCase{
            "WaylandWithXwayland", {"", "wayland-0", "wayland", true, true}, "xcb", P, false},
        SessionCase{"WaylandWithoutXwayland",
                    {"", "wayland-0", "wayland", false, true},
                    "wayland",
                    P,
                    false},
        SessionCase{
            "UserChoseWayland", {"wayland", "wayland-0", "wayland", true, true}, {}, P, false},
        SessionCase{
            "UserChoseXcbInWayland", {"xcb", "wayland-0", "wayland", true, true}, {}, P, false},
        SessionCase{"UserChoseXcbInX11", {"xcb", "", "x11", true, false}, {}, X, false},
        SessionCase{
            "UserChoseXcbWithStaleWaylandType", {"xcb", "", "wayland", true, false}, {}, X, false},
        SessionCase{
            "WaylandSocketDeadFallsBackToX", {"", "wayland-0", "", true, false}, "xcb", X, false},
        SessionCase{"Console", {"", "", "tty", false, false}, {}, X, true},
        SessionCase{"UserChoseXcbWithoutServer", {"xcb", "", "", false, false}, {}, X, true}),
    byName);

struct Trigger {
    const char* name;
    std::int32_t key;
    std::int32_t modifiers;
    std::optional<std::string> text;
};

class Triggers : public testing::TestWithParam<Trigger> {};

TEST_P(Triggers, NameTheKeyAsDesktopsDo) {
    EXPECT_EQ(triggerFor(GetParam().key, GetParam().modifiers), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(, Triggers,
                         testing::Values(Trigger{"F1", 112, 0, "F1"},
                                         Trigger{"AllModifiers", 114, 15, "CTRL+ALT+SHIFT+LOGO+F3"},
                                         Trigger{"PrintScreen", 44, 0, std::nullopt},
                                         Trigger{"UnknownModifier", 114, 16, std::nullopt}),
                         byName);

TEST(KeyNames, AreReadBackFromTheRegistrysAtoms) {
    EXPECT_EQ(keyNameFromAtom("spielen_Pellucor_123456", "Pellucor"), "spielen");
    // Names may hold the separator themselves.
    EXPECT_EQ(keyNameFromAtom("a_b_Pellucor_-5", "Pellucor"), "a_b");
    EXPECT_EQ(keyNameFromAtom("_Pellucor_7", "Pellucor"), "");
    EXPECT_EQ(keyNameFromAtom("stranger_text", "Pellucor"), "stranger_text");
}

}  // namespace
