#include "SpeechLike.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <random>
#include <stdexcept>

namespace {

// A two-pole resonator at a centre frequency with a bandwidth, gain about one at its peak.
class Resonator {
public:
    Resonator(double frequency, double bandwidth, int rate) {
        const double r = std::exp(-std::numbers::pi * bandwidth / rate);
        m_a1 = 2 * r * std::cos(2 * std::numbers::pi * frequency / rate);
        m_a2 = -r * r;
        m_gain = 1 - r;
    }
    double operator()(double x) {
        const double y = m_gain * x + m_a1 * m_y1 + m_a2 * m_y2;
        m_y2 = m_y1;
        m_y1 = y;
        return y;
    }

private:
    double m_a1, m_a2, m_gain, m_y1 = 0, m_y2 = 0;
};

void addSyllable(std::vector<float>& out, std::size_t at, std::size_t length, int rate,
                 std::mt19937& random) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const bool voiced = unit(random) < 0.75;
    const double pitch = 90 + 160 * unit(random);
    const double glide = (unit(random) - 0.5) * 0.6;  // pitch change over the syllable
    Resonator first(voiced ? 300 + 600 * unit(random) : 2000 + 3000 * unit(random),
                    voiced ? 80 : 900, rate);
    Resonator second(900 + 1600 * unit(random), 120, rate);
    const double loudness = 0.3 + 0.7 * unit(random);
    std::normal_distribution<double> noise(0.0, 1.0);
    double phase = 0;
    for (std::size_t i = 0; i < length && at + i < out.size(); ++i) {
        const double t = double(i) / double(length);
        const double shape = std::sin(std::numbers::pi * t) * std::min(1.0, 8 * t);
        double excitation;
        if (voiced) {
            phase += pitch * (1 + glide * t) / rate;
            excitation = phase >= 1 ? (phase -= 1, 1.0 * rate / 100) : 0.0;
            excitation += 0.05 * noise(random);
        } else {
            excitation = noise(random);
        }
        const double y = voiced ? first(excitation) + 0.6 * second(excitation) : first(excitation);
        out[at + i] += float(loudness * shape * y);
    }
}

}  // namespace

std::vector<float> speechLike(double seconds, int rate, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<float> out(std::size_t(seconds * rate), 0.0f);
    std::size_t at = std::size_t(0.05 * rate * unit(random));
    while (at < out.size()) {
        const auto length = std::size_t((0.08 + 0.22 * unit(random)) * rate);
        addSyllable(out, at, length, rate, random);
        double gap = 0.02 + 0.15 * unit(random);
        if (unit(random) < 0.08)
            gap += 0.3 + 1.2 * unit(random);
        at += length + std::size_t(gap * rate);
    }
    float peak = 1e-9f;
    for (const float s : out)
        peak = std::max(peak, std::abs(s));
    for (float& s : out)
        s *= 0.5f / peak;
    return out;
}

void writeWav(const std::string& path, const std::vector<float>& samples, int rate) {
    std::ofstream file(path, std::ios::binary);
    auto put = [&file](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            file.put(char((value >> (8 * i)) & 0xff));
    };
    const auto data = std::uint32_t(samples.size() * 2);
    file.write("RIFF", 4);
    put(36 + data, 4);
    file.write("WAVEfmt ", 8);
    put(16, 4);
    put(1, 2);  // PCM
    put(1, 2);  // mono
    put(std::uint32_t(rate), 4);
    put(std::uint32_t(rate) * 2, 4);
    put(2, 2);
    put(16, 2);
    file.write("data", 4);
    put(data, 4);
    for (const float s : samples)
        put(std::uint32_t(
                std::uint16_t(std::int16_t(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f)))),
            2);
    if (!file)
        throw std::runtime_error("writeWav: cannot write " + path);
}

std::vector<float> excerptOf(const std::vector<float>& source, int rate, double from,
                             double seconds, double stretch) {
    std::vector<float> out(std::size_t(seconds * rate), 0.0f);
    auto at = [&source](std::ptrdiff_t n) {
        return n >= 0 && n < std::ptrdiff_t(source.size()) ? double(source[std::size_t(n)]) : 0.0;
    };
    for (std::size_t n = 0; n < out.size(); ++n) {
        const double position = (from + double(n) / (rate * stretch)) * rate;
        const auto i = std::ptrdiff_t(std::floor(position));
        const double f = position - double(i);
        const double p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
        // Catmull-Rom
        out[n] =
            float(p1 + 0.5 * f *
                           (p2 - p0 +
                            f * (2 * p0 - 5 * p1 + 4 * p2 - p3 + f * (3 * (p1 - p2) + p3 - p0))));
    }
    return out;
}
