#pragma once

#include <cstdint>
#include <vector>

struct xcb_connection_t;

// A rectangle of the screen in root coordinates.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Pixels as 0x00RRGGBB, row by row.
struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// Reads what the X server shows, on a connection of its own, so that it can run on a thread
// other than the window's. One grab is one request: the server draws nothing in between, so
// everything inside one grab was on the screen at the same moment.
class ScreenGrab {
public:
    // Connects to $DISPLAY; throws std::runtime_error without a display or on a screen that is
    // not 24-bit true colour.
    ScreenGrab();
    ~ScreenGrab();
    ScreenGrab(const ScreenGrab&) = delete;
    ScreenGrab& operator=(const ScreenGrab&) = delete;

    // Empty image when the server refuses (e.g. the rectangle leaves the screen).
    ScreenImage grab(const ScreenRect& rect);

private:
    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
};
