#pragma once

#include <string>

// Where player 2 belongs while player 1 stands at a given second: two recordings of one event
// rarely start at the same instant, and their clocks run apart by some parts per million. A
// moment at second p1 of file 1 lies at offset + p1 · (1 + drift · 10⁻⁶) of file 2. Both 0:
// player 2 belongs at player 1's second.
struct Player2Offset {
    double offset = 0.0;    // seconds, signed
    double driftPpm = 0.0;  // parts per million, signed

    // Player 2's speed while both play, so that it keeps to the same moment.
    double rate() const { return 1.0 + driftPpm * 1e-6; }
    double player2At(double position1) const { return offset + position1 * rate(); }
    double player1At(double position2) const { return (position2 - offset) / rate(); }
    bool none() const { return offset == 0.0 && driftPpm == 0.0; }
};

// "player 2: +7.346 s, −125 ppm", with the user's decimal separator.
std::string offsetText(const Player2Offset& offset);
