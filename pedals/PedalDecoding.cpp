#include "PedalDecoding.h"

#include <linux/input-event-codes.h>

#include <array>

namespace {

// Which bit of byte 0 is which role; bits in `ignored` are known but mean nothing here.
struct BitLayout {
    std::array<std::uint8_t, kPedalRoleCount> bits;  // Left, Middle, Right
    std::uint8_t ignored;
};

BitLayout layoutOf(PedalFamily family) {
    switch (family) {
        case PedalFamily::Philips:
            // Rewind, play, forward; bit 3 is the ACC2330's end-of-letter pedal.
            return {{0x01, 0x02, 0x04}, 0x08};
        case PedalFamily::Olympus:
            return {{0x01, 0x04, 0x02}, 0x00};
        case PedalFamily::Vec:
        case PedalFamily::Keyboard:
            break;
    }
    return {{0x01, 0x02, 0x04}, 0x00};
}

}  // namespace

std::optional<RoleMask> decodeHidReport(PedalFamily family, std::span<const std::uint8_t> report) {
    if (report.empty() || family == PedalFamily::Keyboard)
        return std::nullopt;
    const BitLayout layout = layoutOf(family);
    std::uint8_t known = layout.ignored;
    for (const std::uint8_t bit : layout.bits)
        known = static_cast<std::uint8_t>(known | bit);
    const std::uint8_t state = report[0];
    if ((state & ~known) != 0)
        return std::nullopt;
    RoleMask held = 0;
    for (int r = 0; r < kPedalRoleCount; ++r) {
        if (state & layout.bits[static_cast<std::size_t>(r)])
            held |= maskOf(static_cast<PedalRole>(r));
    }
    return held;
}

// Keyboard-style pedals leave the factory sending a, b and c (a single pedal sends b), and are
// often programmed to digits, media keys or mouse buttons; each set maps left to right.
KeyMeaning meaningOfKey(std::uint16_t code) {
    switch (code) {
        case KEY_A:
        case KEY_1:
        case KEY_KP1:
        case KEY_PREVIOUSSONG:
        case KEY_REWIND:
        case BTN_LEFT:
        case BTN_0:
            return {true, PedalRole::Left};
        case KEY_B:
        case KEY_2:
        case KEY_KP2:
        case KEY_PLAYPAUSE:
        case BTN_MIDDLE:
        case BTN_1:
            return {true, PedalRole::Middle};
        case KEY_C:
        case KEY_3:
        case KEY_KP3:
        case KEY_NEXTSONG:
        case KEY_FASTFORWARD:
        case BTN_RIGHT:
        case BTN_2:
            return {true, PedalRole::Right};
        case KEY_LEFTCTRL:
        case KEY_RIGHTCTRL:
        case KEY_LEFTSHIFT:
        case KEY_RIGHTSHIFT:
        case KEY_LEFTALT:
        case KEY_RIGHTALT:
        case KEY_LEFTMETA:
        case KEY_RIGHTMETA:
            return {true, std::nullopt};
        default:
            return {};
    }
}
