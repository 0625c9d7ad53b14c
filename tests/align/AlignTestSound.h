#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "SoundDecoder.h"
#include "SpeechLike.h"

// Sounds in memory as the decoder hands them on: 16 bits, one channel, 8 kHz.
inline constexpr int kTestRate = 8000;

inline MonoSound monoOf(const std::vector<float>& samples, double gain = 1.0) {
    MonoSound sound;
    sound.rate = kTestRate;
    sound.samples.reserve(samples.size());
    for (const float s : samples)
        sound.samples.push_back(
            std::int16_t(std::lround(std::clamp(double(s) * gain, -1.0, 1.0) * 32767.0)));
    return sound;
}

// White noise at the given level below full scale (dB), its own for each seed.
inline std::vector<float> noise(double seconds, double decibels, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::normal_distribution<float> normal(0.0f, float(std::pow(10.0, decibels / 20)));
    std::vector<float> out(std::size_t(seconds * kTestRate));
    for (float& s : out)
        s = normal(random);
    return out;
}

inline std::vector<float> mixed(std::vector<float> a, const std::vector<float>& b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        a[i] += b[i];
    return a;
}
