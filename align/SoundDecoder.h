#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A file's sound as one channel at a low rate, 16 bits a sample: half of what floats take.
struct MonoSound {
    int rate = 0;
    std::vector<std::int16_t> samples;
    double seconds() const { return rate > 0 ? double(samples.size()) / rate : 0.0; }
};

// Decodes the file's best sound stream (a video's sound too) with FFmpeg's libraries, mixed to
// one channel and resampled to the rate. Reports progress from 0 to 1 as it reads, and stops
// with AlignError Cancelled soon after the flag is set. A file that cannot be read, or holds no
// sound stream, raises AlignError Unreadable naming the file.
MonoSound decodeMono(const std::string& path, int rate, const std::atomic<bool>& cancelled,
                     const std::function<void(double)>& progress);
