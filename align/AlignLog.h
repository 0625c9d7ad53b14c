#pragma once

#include <functional>
#include <string>

// Where the alignment room reports what it cannot hand to a caller (a damaged packet skipped
// while decoding). Without a sink the lines go to standard error.
using AlignLogSink = std::function<void(const std::string&)>;
void setAlignLogSink(AlignLogSink sink);
void alignLog(const std::string& line);
