#include "Envelope.h"

#include <algorithm>
#include <cmath>

namespace {

// Quieter frames than this (-90 dB of full scale) are all the same silence.
constexpr double kFloor = 1e-9;
constexpr int kAverageFrames = Envelope::kRate;

}  // namespace

Envelope envelopeOf(const MonoSound& sound) {
    const std::size_t frame = std::size_t(sound.rate / Envelope::kRate);
    const std::size_t count = frame ? sound.samples.size() / frame : 0;
    std::vector<double> loudness(count);
    for (std::size_t i = 0; i < count; ++i) {
        double energy = 0.0;
        for (std::size_t n = i * frame; n < (i + 1) * frame; ++n) {
            const double s = sound.samples[n] / 32768.0;
            energy += s * s;
        }
        loudness[i] = std::log10(energy / double(frame) + kFloor);
    }
    std::vector<double> sums(count + 1, 0.0);
    for (std::size_t i = 0; i < count; ++i)
        sums[i + 1] = sums[i] + loudness[i];
    Envelope env;
    env.values.resize(count);
    const std::size_t half = kAverageFrames / 2;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t from = i > half ? i - half : 0;
        const std::size_t to = std::min(count, i + half + 1);
        env.values[i] = float(loudness[i] - (sums[to] - sums[from]) / double(to - from));
    }
    return env;
}

double meanSquare(const MonoSound& sound) {
    double energy = 0.0;
    for (const std::int16_t s : sound.samples)
        energy += double(s) * s;
    return sound.samples.empty() ? 0.0
                                 : energy / (32768.0 * 32768.0) / double(sound.samples.size());
}
