#include "TimeStamp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::string timeStampText(double seconds) {
    if (!(seconds > 0.0))
        seconds = 0.0;
    // Far beyond any recording, but within what the count of tenths holds.
    seconds = std::min(seconds, 1e12);
    // A position at a tenth may read a hair below it in binary (247.3 as 247.29999...): the
    // millionth lets it count as reached.
    const auto tenths = static_cast<long long>(std::floor(seconds * 10.0 + 1e-6));
    const long long wholeSeconds = tenths / 10;
    char text[48];
    std::snprintf(text, sizeof text, "[%02lld:%02lld:%02lld.%lld]", wholeSeconds / 3600,
                  wholeSeconds / 60 % 60, wholeSeconds % 60, tenths % 10);
    return text;
}
