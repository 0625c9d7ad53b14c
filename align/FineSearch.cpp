#include "FineSearch.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "Cancel.h"
#include "Spectrum.h"

namespace {

constexpr double kWindowSeconds = 2.048;
constexpr double kLeastWindowSeconds = 0.5;
constexpr double kMargin = 0.25;
constexpr std::size_t kMostWindows = 64;
// Below this mean square (-70 dB of full scale) a window counts as silence.
constexpr double kSilence = 1e-7;
// Frequencies below this carry mains hum more than sound in common.
constexpr double kLowestFrequency = 150.0;

// Samples [start, start + length) as floats, zeros where the sound has none.
std::vector<float> excerpt(const MonoSound& sound, std::ptrdiff_t start, std::size_t length,
                           double& meanSquare) {
    std::vector<float> out(length, 0.0f);
    double energy = 0;
    std::size_t inside = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const std::ptrdiff_t n = start + std::ptrdiff_t(i);
        if (n >= 0 && n < std::ptrdiff_t(sound.samples.size())) {
            out[i] = float(sound.samples[std::size_t(n)]) / 32768.0f;
            energy += double(out[i]) * out[i];
            ++inside;
        }
    }
    meanSquare = inside ? energy / double(length) : 0.0;
    return out;
}

struct Peak {
    double position = 0.0;  // in samples, between samples
    double clarity = 0.0;
};

// The highest value of r[0..span], refined by a parabola through it and its neighbours, and
// how far it stands above the other lags' spread.
Peak peakOf(const std::vector<float>& r, std::size_t span) {
    const auto best =
        std::size_t(std::max_element(r.begin(), r.begin() + std::ptrdiff_t(span) + 1) - r.begin());
    Peak peak;
    peak.position = double(best);
    if (best > 0 && best < span) {
        const double left = r[best - 1], middle = r[best], right = r[best + 1];
        const double curvature = left - 2 * middle + right;
        if (curvature < 0)
            peak.position += 0.5 * (left - right) / curvature;
    }
    double square = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i <= span; ++i)
        if (i + 16 < best || i > best + 16) {
            square += double(r[i]) * r[i];
            ++count;
        }
    peak.clarity = count ? r[best] / std::sqrt(square / double(count) + 1e-30) : 0.0;
    return peak;
}

}  // namespace

FineLags fineSearch(const MonoSound& sound1, const MonoSound& sound2, const Line& coarse,
                    const std::atomic<bool>& cancelled,
                    const std::function<void(double)>& progress) {
    const double rate = sound1.rate;
    // File 1's seconds that the coarse line puts inside file 2.
    const double slope = 1 + coarse.slope;
    const double from = std::max(0.0, -coarse.offset / slope);
    const double to = std::min(sound1.seconds(), (sound2.seconds() - coarse.offset) / slope);
    FineLags lags;
    double windowSeconds = kWindowSeconds;
    while (windowSeconds > to - from && windowSeconds / 2 >= kLeastWindowSeconds)
        windowSeconds /= 2;
    if (windowSeconds > to - from)
        return lags;
    const auto window = std::size_t(windowSeconds * rate);
    const auto margin = std::size_t(kMargin * rate);
    const std::size_t count =
        std::clamp<std::size_t>(std::size_t(2 * (to - from) / windowSeconds), 2, kMostWindows);
    Spectrum spectrum(powerOfTwoAtLeast(window + 2 * margin));
    const auto fromBin = std::size_t(kLowestFrequency / rate * double(spectrum.length()));
    std::vector<std::complex<float>> spectrum1, spectrum2;
    std::vector<float> r;
    for (std::size_t i = 0; i < count; ++i) {
        throwIfCancelled(cancelled);
        const double start = from + (to - from - windowSeconds) * double(i) / double(count - 1);
        const auto start1 = std::ptrdiff_t(std::llround(start * rate));
        const double middle = start + windowSeconds / 2;
        const auto start2 = std::ptrdiff_t(std::llround((middle + coarse.at(middle)) * rate)) -
                            std::ptrdiff_t(window / 2 + margin);
        double energy1 = 0, energy2 = 0;
        const std::vector<float> a = excerpt(sound1, start1, window, energy1);
        const std::vector<float> b = excerpt(sound2, start2, window + 2 * margin, energy2);
        if (progress)
            progress(double(i + 1) / double(count));
        if (energy1 < kSilence || energy2 < kSilence)
            continue;
        ++lags.sounding;
        spectrum.transform(a, spectrum1);
        spectrum.transform(b, spectrum2);
        spectrum.correlate(spectrum1, spectrum2, true, fromBin, r);
        const Peak peak = peakOf(r, 2 * margin);
        const double lag = (double(start2 - start1) + peak.position) / rate;
        lags.points.push_back({middle, lag, peak.clarity});
    }
    return lags;
}
