#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "Alignment.h"

// Decodes both files at once, each on a thread of its own, and finds the alignment of file 2 to
// file 1 (see Alignment). Blocks until done; raises AlignError. A file that cannot be read sets
// `cancelled` to stop the other's decoding. Progress goes from 0 to 1 and may come from either
// thread, never from two at once.
Alignment alignFiles(const std::string& file1, const std::string& file2,
                     std::atomic<bool>& cancelled, const std::function<void(double)>& progress);

// The rate both files are decoded at: it keeps speech up to 3 kHz, and two 2-hour files take
// 173 MB.
inline constexpr int kAlignRate = 6000;
