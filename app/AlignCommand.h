#pragma once

#include <string>

#include "Alignment.h"

// pellucor --align FILE1 FILE2: the alignment's one line on standard output and status 0; a
// sentence on standard error and status 3 when the files share no sound, 2 when one cannot be
// read.
int runAlignCommand(const std::string& file1, const std::string& file2);

// "offset=+7.3460 drift_ppm=-125.0 score=0.93": always signed, never "-0.0000".
std::string alignmentLine(const Alignment& alignment);
