#pragma once

#include <string>

// Videos for the benchmarks, made with ffmpeg on first use and kept beside the test media, so a
// second run starts at once. Each has a 440 Hz tone, as a recording has sound. Throws
// std::runtime_error when ffmpeg fails.
class BenchMedia {
public:
    static constexpr int kFrameRate = 25;
    static constexpr int kStripes = 16;

    // H.264 with moving content, as costly to decode as a plain recording of that size.
    static std::string moving(int width, int height, int seconds);

    // A video whose picture carries its own frame number: a green band over the top quarter
    // (to find the picture), below it kStripes vertical stripes, stripe k white when bit k of
    // the frame number's Gray code is set (a torn picture then reads as one of two neighbours).
    static std::string frameNumbered(int width, int height, int seconds);
};
