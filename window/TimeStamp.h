#pragma once

#include <string>

// A position as the transcript marks it: "[hh:mm:ss.d]", hours always written (two digits at
// least), tenths of a second. The tenths are cut, not rounded: a mark never names a moment the
// recording has not reached yet. A position below 0 or not a number counts as 0.
std::string timeStampText(double seconds);
