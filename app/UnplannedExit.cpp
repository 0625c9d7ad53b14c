#include "UnplannedExit.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "MpvLibrary.h"

namespace {

std::atomic<bool> planned{true};

void endAtOnceIfUnplanned() {
    if (!planned)
        endAtOnceWithoutDisplay();
}

bool guardExit() {
    if (std::atexit(&endAtOnceIfUnplanned) != 0) {
        std::fputs("pellucor: cannot guard against an unplanned exit\n", stderr);
        return false;
    }
    return true;
}

}  // namespace

void endAtOnceWithoutDisplay() {
    constexpr char kText[] = "pellucor: ending at once: the display went away\n";
    const ssize_t written = write(STDERR_FILENO, kText, sizeof kText - 1);
    static_cast<void>(written);  // nothing is left to tell a failed write to
    _exit(1);
}

void endAtOnceOnUnplannedExit() {
    // exit() runs the handlers last registered first: registered after the libraries' own, the
    // guard runs before them. libmpv's libraries come later and register theirs as they load,
    // so the guard is registered once more as soon as they are in.
    if (!guardExit())
        return;
    prepareOnMpvLoad([] { guardExit(); });
    planned = false;
}

void plannedEnd() {
    planned = true;
}
