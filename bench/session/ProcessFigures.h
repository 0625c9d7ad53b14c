#pragma once

#include <string>

// Figures of this process from /proc and the C library, for the session benchmarks.
namespace ProcessFigures {

// A field of /proc/self/status in KiB (VmRSS, VmHWM, ...); -1 if missing.
long statusKiB(const std::string& key);
// A field of /proc/self/smaps_rollup in KiB (Anonymous, Pss_File, ...); -1 if missing.
long rollupKiB(const std::string& key);
int threads();
int openFiles();

// The allocator's view: bytes it got from the system and bytes in use, arenas counted.
struct Heap {
    double systemMiB = 0;
    double inUseMiB = 0;
    double freeMiB = 0;
    double mmappedMiB = 0;
    int arenas = 0;
};
Heap heap();

// RSS and how it splits, on one line, prefixed by the label.
void printMemory(const char* label);

}  // namespace ProcessFigures
