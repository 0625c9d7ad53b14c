#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A sound with speech's rhythm and colour, made in code so that no recording is needed:
// syllables of 80 to 300 ms (voiced ones a pulse train at 90 to 250 Hz through two formants,
// unvoiced ones hiss), short gaps and now and then a pause of up to 1.5 s. Never repeats, so
// every stretch of it lies at one place only. Peaks near half of full scale.
std::vector<float> speechLike(double seconds, int rate, std::uint32_t seed);

// Written as a 16-bit mono WAV file.
void writeWav(const std::string& path, const std::vector<float>& samples, int rate);

// The sound read at `rate` from `from` seconds on, `seconds` long, with each second stretched
// by `stretch` (1 + drift): sample n is the source at from + n / (rate * stretch), read between
// samples by cubic interpolation; zero where the source has none.
std::vector<float> excerptOf(const std::vector<float>& source, int rate, double from,
                             double seconds, double stretch);
