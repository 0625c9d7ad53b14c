#pragma once

#include <atomic>
#include <functional>
#include <vector>

#include "LineFit.h"
#include "SoundDecoder.h"

// The lags of short windows spread over the whole overlap, each found by GCC-PHAT within a
// quarter of a second of the coarse line and refined between samples.
struct FineLags {
    std::vector<LagPoint> points;  // weight: the peak's height over its side lobes
    int sounding = 0;              // windows with sound on both sides
};

FineLags fineSearch(const MonoSound& sound1, const MonoSound& sound2, const Line& coarse,
                    const std::atomic<bool>& cancelled,
                    const std::function<void(double)>& progress);
