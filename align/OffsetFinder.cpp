#include "OffsetFinder.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "CoarseSearch.h"
#include "Envelope.h"
#include "FineSearch.h"

namespace {

// A whole file quieter than -70 dB of full scale holds nothing to align by.
constexpr double kSilentFile = 1e-7;
// Windows whose peak stands less high over its side lobes are left out of the fit.
constexpr double kClearWindow = 5.0;
// The agreeing windows lie within this of the line.
constexpr double kFineAgreement = 0.001;
// At least this many windows, and this share of those with sound, must agree.
constexpr std::size_t kLeastAgreeing = 4;
constexpr double kLeastShare = 0.3;

void refuseSilence(const NamedSound& s) {
    if (meanSquare(s.sound) < kSilentFile)
        throw AlignError(AlignError::Kind::NoCommonSound,
                         "The file " + s.name + " holds only silence, so nothing aligns it.");
}

// The upper of the two middle values when there are two.
double upperMedian(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// The line through the windows that agree, refusing when too few do.
Alignment fitWindows(const FineLags& lags) {
    std::vector<LagPoint> clear;
    for (const LagPoint& p : lags.points)
        if (p.weight >= kClearWindow)
            clear.push_back(p);
    Line line = medianLine(clear);
    std::vector<LagPoint> agreeing = near(clear, line, 4 * kFineAgreement);
    for (int round = 0; round < 3 && agreeing.size() >= 2; ++round) {
        line = leastSquares(agreeing);
        agreeing = near(clear, line, kFineAgreement);
    }
    const double share = lags.sounding ? double(agreeing.size()) / lags.sounding : 0.0;
    if (agreeing.size() < kLeastAgreeing || share < kLeastShare)
        throw AlignError(AlignError::Kind::NoCommonSound,
                         "The two recordings share no sound that could align them.");
    std::vector<double> heights;
    for (const LagPoint& p : agreeing)
        heights.push_back(p.weight);
    Alignment a;
    a.offset = line.offset;
    a.driftPpm = line.slope * 1e6;
    a.score =
        std::min(1.0, share) * std::clamp((upperMedian(heights) - kClearWindow) / 15.0, 0.0, 1.0);
    return a;
}

// From "second t of b is at o + t k of a" to "second t of a is at -o/k + t/k of b".
Alignment reversed(const Alignment& a) {
    const double k = 1 + a.driftPpm * 1e-6;
    return {-a.offset / k, (1 / k - 1) * 1e6, a.score};
}

}  // namespace

Alignment findAlignment(const NamedSound& first, const NamedSound& second,
                        const std::atomic<bool>& cancelled,
                        const std::function<void(double)>& progress) {
    refuseSilence(first);
    refuseSilence(second);
    // The coarse search takes stretches of the shorter file.
    const bool swap = first.sound.seconds() > second.sound.seconds();
    const MonoSound& one = swap ? second.sound : first.sound;
    const MonoSound& two = swap ? first.sound : second.sound;
    auto step = [&progress](double from, double width) {
        return [&progress, from, width](double p) {
            if (progress)
                progress(from + width * p);
        };
    };
    const Envelope env1 = envelopeOf(one), env2 = envelopeOf(two);
    CoarseMatch coarse = coarseSearch(env1, env2, cancelled, step(0.0, 0.6));
    coarse.line.slope = std::clamp(coarse.line.slope, -1e-3, 1e-3);
    const FineLags lags = fineSearch(one, two, coarse.line, cancelled, step(0.6, 0.4));
    const Alignment found = fitWindows(lags);
    return swap ? reversed(found) : found;
}
