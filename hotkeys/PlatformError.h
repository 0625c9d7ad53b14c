#pragma once

#include <cstdint>
#include <string_view>

// Error codes of the hot-key platforms, as GetLastError reports them.
enum class PlatformError : std::uint32_t {
    None = 0,
    KeyInUse = 1,
    KeyRegisteredHere = 2,
    UnknownKeyCode = 3,
    KeyNotOnKeyboard = 4,
    BadModifiers = 5,
    IdInUse = 6,
    IdNotRegistered = 7,
    GrabFailed = 8,
    NoDisplay = 9,
    EmptyAtom = 10,
    AtomTooLong = 11,
    AtomTableFull = 12,
    UnknownAtom = 13,
};

constexpr std::uint32_t code(PlatformError e) {
    return static_cast<std::uint32_t>(e);
}

// The user-facing text of an error code; empty for codes we do not know.
std::string_view platformErrorText(std::uint32_t code);
