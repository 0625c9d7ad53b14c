#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <optional>
#include <vector>

#include "NamedCases.h"
#include "PedalDecoding.h"

// Each family's reports and keys, as the devices send them.

namespace {

constexpr RoleMask L = maskOf(PedalRole::Left);
constexpr RoleMask M = maskOf(PedalRole::Middle);
constexpr RoleMask R = maskOf(PedalRole::Right);

struct Report {
    const char* name;
    PedalFamily family;
    std::vector<std::uint8_t> bytes;
    std::optional<RoleMask> held;  // nothing: a report the family does not send
};

using HidReports = ::testing::TestWithParam<Report>;

TEST_P(HidReports, DecodeToTheRolesHeld) {
    const Report& r = GetParam();
    EXPECT_EQ(decodeHidReport(r.family, r.bytes), r.held);
}

INSTANTIATE_TEST_SUITE_P(
    Families, HidReports,
    ::testing::Values(
        Report{"VecLeft", PedalFamily::Vec, {0x01}, L},
        Report{"VecMiddle", PedalFamily::Vec, {0x02}, M},
        Report{"VecRight", PedalFamily::Vec, {0x04}, R},
        Report{"VecAllThree", PedalFamily::Vec, {0x07}, L | M | R},
        Report{"VecAllUp", PedalFamily::Vec, {0x00}, 0u},
        Report{"VecUnknownBit", PedalFamily::Vec, {0x08}, std::nullopt},
        Report{"VecLaterBytesIgnored", PedalFamily::Vec, {0x02, 0xff}, M},
        Report{"PhilipsRewindIsLeft", PedalFamily::Philips, {0x01, 0x00, 0x00}, L},
        Report{"PhilipsPlayIsMiddle", PedalFamily::Philips, {0x02, 0x00, 0x00}, M},
        Report{"PhilipsForwardIsRight", PedalFamily::Philips, {0x04, 0x00, 0x00}, R},
        Report{"PhilipsEndOfLetterAlone", PedalFamily::Philips, {0x08, 0x00, 0x00}, 0u},
        Report{"PhilipsPlayWithEndOfLetter", PedalFamily::Philips, {0x0a, 0x00, 0x00}, M},
        Report{"PhilipsUnknownBit", PedalFamily::Philips, {0x10, 0x00, 0x00}, std::nullopt},
        Report{"OlympusLeftIsOne", PedalFamily::Olympus, {0x01}, L},
        Report{"OlympusMiddleIsFour", PedalFamily::Olympus, {0x04}, M},
        Report{"OlympusRightIsTwo", PedalFamily::Olympus, {0x02}, R},
        Report{"OlympusUnknownBit", PedalFamily::Olympus, {0x80}, std::nullopt},
        Report{"EmptyReport", PedalFamily::Vec, {}, std::nullopt},
        Report{"KeyboardPedalsSendNoHidReports", PedalFamily::Keyboard, {0x01}, std::nullopt}),
    byName);

struct Key {
    const char* name;
    std::uint16_t code;
    bool known;
    std::optional<PedalRole> role;
};

using KeyboardPedalKeys = ::testing::TestWithParam<Key>;

TEST_P(KeyboardPedalKeys, MapLeftToRight) {
    const Key& k = GetParam();
    const KeyMeaning meaning = meaningOfKey(k.code);
    EXPECT_EQ(meaning.known, k.known);
    EXPECT_EQ(meaning.role, k.role);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyboardPedalKeys,
                         ::testing::Values(Key{"FactoryA", KEY_A, true, PedalRole::Left},
                                           Key{"FactoryB", KEY_B, true, PedalRole::Middle},
                                           Key{"FactoryC", KEY_C, true, PedalRole::Right},
                                           Key{"DigitOne", KEY_1, true, PedalRole::Left},
                                           Key{"KeypadTwo", KEY_KP2, true, PedalRole::Middle},
                                           Key{"NextSong", KEY_NEXTSONG, true, PedalRole::Right},
                                           Key{"MouseLeft", BTN_LEFT, true, PedalRole::Left},
                                           Key{"MouseMiddle", BTN_MIDDLE, true, PedalRole::Middle},
                                           Key{"ButtonTwo", BTN_2, true, PedalRole::Right},
                                           Key{"ShiftOfAProgrammedChord", KEY_LEFTSHIFT, true,
                                               std::nullopt},
                                           Key{"LetterZ", KEY_Z, false, std::nullopt}),
                         byName);

}  // namespace
