#include "TwipsGeometry.h"

#include <cmath>

int TwipsGeometry::pixels(float twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

float TwipsGeometry::twips(int pixels) {
    return static_cast<float>(pixels) * kTwipsPerPixel;
}

float TwipsGeometry::read(Side side, int pixels) const {
    const auto& last = m_written[static_cast<std::size_t>(side)];
    return last && last->pixels == pixels ? last->twips : twips(pixels);
}

void TwipsGeometry::written(Side side, float twips, int pixels) {
    m_written[static_cast<std::size_t>(side)] = Written{twips, pixels};
}
