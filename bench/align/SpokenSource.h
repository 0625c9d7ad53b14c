#pragma once

#include <cstdint>
#include <vector>

// Speech from espeak-ng (made-up words in sentences, at least `seconds` long), resampled by
// ffmpeg to the rate and peaking at half of full scale. Each seed gives other words. Throws
// std::runtime_error when espeak-ng or ffmpeg is missing or fails.
std::vector<float> spokenSource(double seconds, int rate, std::uint32_t seed);
