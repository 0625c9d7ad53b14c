#include "FrameReader.h"

#include <algorithm>

#include "BenchMedia.h"

namespace {

int red(std::uint32_t p) {
    return static_cast<int>((p >> 16) & 0xFF);
}
int green(std::uint32_t p) {
    return static_cast<int>((p >> 8) & 0xFF);
}
int blue(std::uint32_t p) {
    return static_cast<int>(p & 0xFF);
}

bool isBandGreen(std::uint32_t p) {
    return green(p) > 150 && red(p) < 90 && blue(p) < 90;
}

// Mean brightness of a 3x3 patch; the caller keeps it inside the image.
int brightness(const ScreenImage& image, int x, int y) {
    int sum = 0;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const std::uint32_t p = image.at(x + dx, y + dy);
            sum += red(p) + green(p) + blue(p);
        }
    }
    return sum / 27;
}

}  // namespace

std::optional<long> FrameReader::read(const ScreenImage& image, const ScreenRect& region) {
    const int x0 = std::max(region.x, 0);
    const int y0 = std::max(region.y, 0);
    const int x1 = std::min(region.x + region.width, image.width);
    const int y1 = std::min(region.y + region.height, image.height);
    int left = x1, right = -1, top = y1, bottom = -1;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (isBandGreen(image.at(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    const int width = right - left + 1;
    const int band = bottom - top + 1;
    constexpr int kStripes = BenchMedia::kStripes;
    if (width < kStripes * 4 || band < 4) {
        return std::nullopt;
    }
    // The band is the top quarter; read the middle of the three quarters below it.
    const int row = top + band * 5 / 2;
    if (row + 1 >= y1) {
        return std::nullopt;
    }
    long gray = 0;
    for (int k = 0; k < kStripes; ++k) {
        const int x = left + (2 * k + 1) * width / (2 * kStripes);
        const int level = brightness(image, x, row);
        if (level > 64 && level < 192) {
            return std::nullopt;
        }
        if (level >= 192)
            gray |= 1L << k;
    }
    long number = 0;
    for (long g = gray; g; g >>= 1)
        number ^= g;
    return number;
}
