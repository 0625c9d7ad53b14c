#pragma once

#include <optional>

#include "IMediaPlayer.h"
#include "Player2Offset.h"

// Keeps player 2 with player 1 while both play from one aligned start. Each player runs on a
// clock of its own; over an hour, and faster after the machine was busy for a while, player 2
// drifted tens of milliseconds from player 1, and nothing brought it back until the next key.
// The follower reads both positions a few times a second and, when player 2 has fallen behind
// or run ahead on average, lets it play a little faster or slower until it is back. It never
// seeks, and a gap too large to be drift (a seek on one player's own bar) is left alone.
class PlayerFollower {
public:
    // Both players were just started together from the same position.
    void engage();
    // The window stops or moves the players; player 2 goes back to normal speed.
    void disengage(IMediaPlayer& player2);
    bool engaged() const { return m_engaged; }

    // Where player 2 belongs; its speed while it keeps up is the offset's rate.
    void setOffset(const Player2Offset& offset) { m_offset = offset; }
    // The speed both play at; player 2's is that times the offset's rate.
    void setSpeed(double speed) { m_speed = speed; }
    // Player 2 plays at its own speed from now on.
    void keepToBaseRate(IMediaPlayer& player2) { setRate(player2, baseRate()); }

    // One reading of both positions; every few readings player 2's speed may change.
    void sample(IMediaPlayer& player1, IMediaPlayer& player2);

    // How often the window takes a reading, in milliseconds.
    static constexpr int kSampleInterval = 250;

private:
    double baseRate() const { return m_speed * m_offset.rate(); }
    void setRate(IMediaPlayer& player2, double rate);
    // The least average gap made up, from what the rougher of the two players' readings come.
    double catchUpFrom(IMediaPlayer::Reading from) const;
    static IMediaPlayer::Reading roughest(IMediaPlayer& player1, IMediaPlayer& player2);
    void measureAfresh();

    Player2Offset m_offset;
    double m_speed = 1.0;
    bool m_engaged = false;
    double m_rate = 1.0;
    double m_gapSum = 0.0;
    int m_readings = 0;
    int m_correctionLeft = 0;  // readings until player 2 is back at normal speed
    int m_smallGapSide = 0;    // a small gap the last decision found: 1 behind, -1 ahead
    // Where PipeWire converts sound: the gap its readings show while the two are heard together.
    std::optional<double> m_readingsOwnGap;
};
