#pragma once

#include <cstdint>

// A native window handle as the hot-key registry sees it: 32 bits, 0 for "no window".
// On X11 this is the window's XID.
using HWND = std::uint32_t;

// Window messages the registry listens to.
constexpr std::int32_t WM_DESTROY = 2;
constexpr std::int32_t WM_HOTKEY = 786;
