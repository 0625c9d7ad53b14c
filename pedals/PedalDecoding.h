#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "PedalModels.h"
#include "PedalRole.h"

// The roles a hidraw report of this family holds down, or nothing for a report the family
// does not send (empty, or bits no pedal of it has).
std::optional<RoleMask> decodeHidReport(PedalFamily family, std::span<const std::uint8_t> report);

// The role of a key (or button) code from a keyboard-style pedal, or nothing for a code that
// is not a pedal's. Modifier keys count as known but have no role.
struct KeyMeaning {
    bool known = false;
    std::optional<PedalRole> role;
};
KeyMeaning meaningOfKey(std::uint16_t code);
