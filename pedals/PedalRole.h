#pragma once

#include <cstdint>

// What a pedal means to the program, whichever device it sits on.
enum class PedalRole : std::uint8_t { Left, Middle, Right };

inline constexpr int kPedalRoleCount = 3;

// A set of held roles: bit 0 Left, bit 1 Middle, bit 2 Right.
using RoleMask = unsigned;

constexpr RoleMask maskOf(PedalRole role) {
    return 1u << static_cast<unsigned>(role);
}

// One role going down or up.
struct PedalChange {
    PedalRole role;
    bool pressed;

    friend bool operator==(const PedalChange&, const PedalChange&) = default;
};

inline const char* roleName(PedalRole role) {
    switch (role) {
        case PedalRole::Left:
            return "left";
        case PedalRole::Middle:
            return "middle";
        case PedalRole::Right:
            return "right";
    }
    return "?";
}
