#include "Player2Offset.h"

#include <cmath>
#include <cstdio>

#include "RegionalNumber.h"

namespace {

// A sign always written, the minus as the typographic one.
std::string signedText(double value, int decimals) {
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.*f", decimals, std::fabs(value));
    std::string text = digits;
    if (const auto point = text.find('.'); point != std::string::npos)
        text.replace(point, 1, regionalDecimalSeparator());
    const bool negative = value < 0 && std::round(std::fabs(value) * std::pow(10, decimals)) > 0;
    return (negative ? "\u2212" : "+") + text;
}

}  // namespace

std::string offsetText(const Player2Offset& offset) {
    return "player 2: " + signedText(offset.offset, 3) + " s, " + signedText(offset.driftPpm, 0) +
           " ppm";
}
