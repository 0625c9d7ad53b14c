#pragma once

#include <optional>

#include "ScreenGrab.h"

// Reads the frame number that a frame-numbered benchmark video shows somewhere inside a region
// of a screen image: it finds the picture by its green band, whatever its size and letterbox,
// then reads the stripes below the band.
class FrameReader {
public:
    // Nothing when no picture is found or a stripe is neither clearly black nor clearly white
    // (no picture yet, a notice, a scaled picture too small to read).
    static std::optional<long> read(const ScreenImage& image, const ScreenRect& region);
};
