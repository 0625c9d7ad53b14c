#pragma once

#include <string>
#include <vector>

// Starts a program as a user does, as a process of its own, and times it from just before the
// fork to the moment one of its top-level windows (found by _NET_WM_PID) can first be seen,
// watched from a connection of its own to the X server.
struct ProgramStartResult {
    bool shown = false;
    double msToShown = 0;  // fork to the program's window first seen
    long rssKiB = -1;      // the program's resident memory at that moment
    std::string failure;   // why nothing was shown, when it was not
};

// The program is ended (SIGTERM, then SIGKILL after timeoutMs) before this returns.
ProgramStartResult timeProgramStart(const std::string& program,
                                    const std::vector<std::string>& arguments, int timeoutMs);
