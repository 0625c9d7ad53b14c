#pragma once

#include <unistd.h>
#include <filesystem>
#include <string>

#include "SpeechLike.h"
#include "TestMedia.h"

// Files made with ffmpeg from one speech-like source of 60 s at 48 kHz (made in code), as two
// microphones or a camera and a recorder would have taken it.
namespace AlignMedia {

inline constexpr int kSourceRate = 48000;

// The source as a WAV file, one per seed.
inline std::string source(unsigned seed) {
    const std::string name = "align-source-" + std::to_string(seed) + ".wav";
    const std::filesystem::path path = std::filesystem::path(TestMedia::folder()) / name;
    if (!std::filesystem::exists(path)) {
        const std::string partial = path.string() + ".part" + std::to_string(::getpid());
        writeWav(partial, speechLike(60, kSourceRate, seed), kSourceRate);
        std::filesystem::rename(partial, path);
    }
    return path.string();
}

// Seconds [from, from + seconds) of the source through the filters, in that format.
inline std::string made(const std::string& name, const std::string& format, double from,
                        double seconds, const std::string& filters,
                        const std::vector<std::string>& outputOptions, unsigned seed = 1) {
    std::vector<std::string> options{
        "-af", "atrim=start=" + std::to_string(from) + ":duration=" + std::to_string(seconds) +
                   ",asetpts=PTS-STARTPTS" + (filters.empty() ? "" : "," + filters)};
    options.insert(options.end(), outputOptions.begin(), outputOptions.end());
    return TestMedia::generated(name, format, {"-i", source(seed)}, options);
}

}  // namespace AlignMedia
