#pragma once

#include <atomic>
#include <functional>

#include "Envelope.h"
#include "LineFit.h"

// Where stretches of the shorter file's envelope match the other's, over every lag: half a
// minute at a time (short enough for a drift of 300 ppm to smear a match by one frame only),
// each against the other file's whole length.
struct CoarseMatch {
    Line line;         // file 2's lag over file 1's time, to within a few frames
    int agreeing = 0;  // stretches that matched on that line
    int stretches = 0;
};

// Raises AlignError NoCommonSound when no stretch matches clearly.
CoarseMatch coarseSearch(const Envelope& env1, const Envelope& env2,
                         const std::atomic<bool>& cancelled,
                         const std::function<void(double)>& progress);
