#pragma once

#include "RealWindow.h"

// Both players running, player 2 half a second off player 1's position `at`, as after starting
// them one by one: the state a command that starts them together is compared against.
inline void runPlayersApart(RealWindow& w, double at) {
    w.window->pause_both();
    w.player(1).setCurrentPosition(at);
    w.player(2).setCurrentPosition(at + 0.5);
    runEventsFor(200);
    w.player(1).play();
    runEventsFor(100);
    w.player(2).play();
    runEventsFor(400);
}
