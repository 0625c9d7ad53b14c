#include "CoarseSearch.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <span>

#include "Alignment.h"
#include "Cancel.h"
#include "Spectrum.h"

namespace {

constexpr std::size_t kStretch = 30 * Envelope::kRate;
constexpr std::size_t kMostStretches = 32;
// A match stands this many standard deviations above the other lags of its stretch; across the
// 720,000 lags of two hours the best of unrelated sound reaches about 5.
constexpr double kClearMatch = 8.0;
// Lags of two stretches lie on one line if they differ by no more than this plus 1000 ppm of
// the time between them.
constexpr double kCoarseAgreement = 0.05;
constexpr double kMostDrift = 1e-3;

struct StretchMatch {
    double time = 0.0;  // the stretch's middle, in file 1's seconds
    double lag = 0.0;
    double clarity = 0.0;
};

// Square norms of b's windows of the given length, each starting at a lag.
class WindowNorms {
public:
    WindowNorms(std::span<const float> b, std::size_t width)
        : m_width(width), m_sums(b.size() + 1) {
        for (std::size_t i = 0; i < b.size(); ++i)
            m_sums[i + 1] = m_sums[i] + double(b[i]) * b[i];
        m_typical = b.empty() ? 1.0 : m_sums.back() / double(b.size()) * double(width);
    }
    // A window over silence is given half the typical norm, so silence never looks like a match.
    double at(std::ptrdiff_t start) const {
        const auto size = std::ptrdiff_t(m_sums.size() - 1);
        const std::ptrdiff_t from = std::clamp<std::ptrdiff_t>(start, 0, size);
        const std::ptrdiff_t to =
            std::clamp<std::ptrdiff_t>(start + std::ptrdiff_t(m_width), 0, size);
        return std::sqrt(std::max(m_sums[to] - m_sums[from], 0.5 * m_typical));
    }

private:
    std::size_t m_width;
    std::vector<double> m_sums;
    double m_typical;
};

StretchMatch matchStretch(Spectrum& spectrum, std::span<const float> stretch,
                          const std::vector<std::complex<float>>& whole, const WindowNorms& norms,
                          std::size_t otherLength, std::vector<float>& correlation) {
    std::vector<std::complex<float>> part;
    spectrum.transform(stretch, part);
    spectrum.correlate(part, whole, false, 1, correlation);
    const double own =
        std::sqrt(std::inner_product(stretch.begin(), stretch.end(), stretch.begin(), 1e-12));
    const auto n = std::ptrdiff_t(spectrum.length());
    const auto half = std::ptrdiff_t(stretch.size() / 2);
    const std::ptrdiff_t first = -half, last = std::ptrdiff_t(otherLength) - half;
    std::vector<double> rho;
    rho.reserve(std::size_t(last - first));
    for (std::ptrdiff_t p = first; p < last; ++p)
        rho.push_back(correlation[std::size_t((p + n) % n)] / (own * norms.at(p)));
    const auto best = std::max_element(rho.begin(), rho.end());
    const std::ptrdiff_t bestIndex = best - rho.begin();
    // Side lobes: every lag but those within half a second of the peak.
    double sum = 0, square = 0;
    std::size_t count = 0;
    for (std::ptrdiff_t i = 0; i < std::ptrdiff_t(rho.size()); ++i)
        if (std::abs(i - bestIndex) > Envelope::kRate / 2) {
            sum += rho[std::size_t(i)];
            square += rho[std::size_t(i)] * rho[std::size_t(i)];
            ++count;
        }
    const double mean = count ? sum / double(count) : 0.0;
    const double spread =
        count ? std::sqrt(std::max(square / double(count) - mean * mean, 1e-12)) : 1.0;
    StretchMatch match;
    match.lag = double(bestIndex + first) / Envelope::kRate;
    match.clarity = count > 10 ? (*best - mean) / spread : 0.0;
    return match;
}

bool agree(const StretchMatch& a, const StretchMatch& b) {
    return std::abs(a.lag - b.lag) <= kCoarseAgreement + kMostDrift * std::abs(a.time - b.time);
}

}  // namespace

CoarseMatch coarseSearch(const Envelope& env1, const Envelope& env2,
                         const std::atomic<bool>& cancelled,
                         const std::function<void(double)>& progress) {
    const std::size_t n1 = env1.values.size(), n2 = env2.values.size();
    const std::size_t width = std::min(kStretch, n1);
    if (width < 4 * Envelope::kRate || n2 < 4 * Envelope::kRate)
        throw AlignError(AlignError::Kind::NoCommonSound,
                         "The recordings are too short to be aligned (at least 4 seconds each).");
    // Stretches a third of their length apart, so that an overlap a third longer than one
    // holds one whole.
    const std::size_t count = std::clamp<std::size_t>(3 * n1 / width - 2, 1, kMostStretches);
    Spectrum spectrum(powerOfTwoAtLeast(n2 + width));
    std::vector<std::complex<float>> whole;
    spectrum.transform(env2.values, whole);
    const WindowNorms norms(env2.values, width);
    std::vector<float> correlation;
    std::vector<StretchMatch> matches;
    for (std::size_t i = 0; i < count; ++i) {
        throwIfCancelled(cancelled);
        const std::size_t start = count > 1 ? (n1 - width) * i / (count - 1) : 0;
        StretchMatch m = matchStretch(spectrum, std::span(env1.values).subspan(start, width), whole,
                                      norms, n2, correlation);
        m.lag -= double(start) / Envelope::kRate;
        m.time = (double(start) + double(width) / 2) / Envelope::kRate;
        matches.push_back(m);
        if (progress)
            progress(double(i + 1) / double(count));
    }
    // The clear match with most others on its line, and the line through them.
    std::vector<LagPoint> best;
    for (const StretchMatch& m : matches) {
        if (m.clarity < kClearMatch)
            continue;
        std::vector<LagPoint> line;
        for (const StretchMatch& other : matches)
            if (other.clarity >= kClearMatch / 2 && agree(m, other))
                line.push_back({other.time, other.lag, other.clarity});
        if (line.size() > best.size())
            best = std::move(line);
    }
    if (best.empty())
        throw AlignError(AlignError::Kind::NoCommonSound,
                         "The two recordings share no sound that could align them.");
    CoarseMatch result;
    result.line = leastSquares(best);
    result.agreeing = int(best.size());
    result.stretches = int(count);
    return result;
}
