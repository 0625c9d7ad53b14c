#include "UnplannedExit.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

std::atomic<bool> planned{true};

void endAtOnce() {
    if (planned)
        return;
    std::fputs("pellucor: ending at once: the display went away\n", stderr);
    _exit(1);
}

}  // namespace

void endAtOnceOnUnplannedExit() {
    // Registered after the libraries' own exit handlers, so it runs before them.
    if (std::atexit(&endAtOnce) != 0) {
        std::fputs("pellucor: cannot guard against an unplanned exit\n", stderr);
        return;
    }
    planned = false;
}

void plannedEnd() { planned = true; }
