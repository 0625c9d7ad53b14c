#pragma once

#include <array>
#include <cstddef>
#include <optional>

// The player's place in twips (15 to the pixel) over a widget measured in whole pixels. The
// widget is the one truth; a value written reads back exactly as written for as long as the
// widget still measures what that write made of it, so that steps smaller than a pixel add up
// instead of being rounded away.
class TwipsGeometry {
public:
    enum class Side : std::size_t { Left, Width, Height };
    static constexpr float kTwipsPerPixel = 15.0f;

    static int pixels(float twips);
    static float twips(int pixels);

    // What the side reads while the widget measures `pixels` on it.
    float read(Side side, int pixels) const;
    // `twips` was written to the side, and the widget took it as `pixels`.
    void written(Side side, float twips, int pixels);

private:
    struct Written {
        float twips;
        int pixels;
    };
    std::array<std::optional<Written>, 3> m_written;
};
