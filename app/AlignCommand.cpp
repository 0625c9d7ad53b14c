#include "AlignCommand.h"

#include <atomic>
#include <cmath>
#include <cstdio>

#include "AlignFiles.h"

namespace {

// Rounded to the printed decimals first, so that a value rounding to zero prints as +0.
double rounded(double value, double scale) {
    const double r = std::round(value * scale) / scale;
    return r == 0.0 ? 0.0 : r;
}

}  // namespace

std::string alignmentLine(const Alignment& alignment) {
    char line[128];
    std::snprintf(line, sizeof line, "offset=%+.4f drift_ppm=%+.1f score=%.2f",
                  rounded(alignment.offset, 1e4), rounded(alignment.driftPpm, 10), alignment.score);
    return line;
}

int runAlignCommand(const std::string& file1, const std::string& file2) {
    std::atomic<bool> cancelled{false};
    try {
        const Alignment alignment = alignFiles(file1, file2, cancelled, {});
        std::printf("%s\n", alignmentLine(alignment).c_str());
        return 0;
    } catch (const AlignError& e) {
        std::fprintf(stderr, "pellucor: %s\n", e.what());
        return e.kind() == AlignError::Kind::NoCommonSound ? 3 : 2;
    }
}
