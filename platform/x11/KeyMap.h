#pragma once

#include <cstdint>
#include <optional>

// The X keysym for a virtual-key code (the codes RegisterHotKey takes), or nothing for a code
// without one. Letters map to their unshifted keysym, so the grab is for the plain key.
std::optional<std::uint32_t> keysymForVirtualKey(std::int32_t virtualKey);
