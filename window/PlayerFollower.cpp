#include "PlayerFollower.h"

#include <cmath>

#include "WindowLog.h"

namespace {

// Readings averaged before a decision: a single reading is off by up to a frame, since each
// player's position moves with its own pictures.
constexpr int kReadingsPerDecision = 8;
// Player 2 catches up from this average gap, and plays normally again below the second one.
constexpr double kCatchUpFrom = 0.015;
constexpr double kSettledBelow = 0.005;
// One percent: 10 ms a second, too little to hear in speech.
constexpr double kCorrection = 0.01;
// Drift grows by milliseconds a minute; a gap this large was made on purpose.
constexpr double kLargestDrift = 0.25;

}  // namespace

void PlayerFollower::engage() {
    m_engaged = true;
    m_gapSum = 0.0;
    m_readings = 0;
}

void PlayerFollower::disengage(IMediaPlayer& player2) {
    m_engaged = false;
    setRate(player2, 1.0);
}

void PlayerFollower::sample(IMediaPlayer& player1, IMediaPlayer& player2) {
    if (!m_engaged)
        return;
    try {
        if (player1.playState() != IMediaPlayer::kPlaying ||
            player2.playState() != IMediaPlayer::kPlaying) {
            disengage(player2);
            return;
        }
        const double gap = player1.currentPosition() - player2.currentPosition();
        if (std::fabs(gap) > kLargestDrift) {
            disengage(player2);
            return;
        }
        m_gapSum += gap;
        if (++m_readings < kReadingsPerDecision)
            return;
        const double mean = m_gapSum / m_readings;
        m_gapSum = 0.0;
        m_readings = 0;
        if (std::fabs(mean) >= kCatchUpFrom)
            setRate(player2, mean > 0 ? 1.0 + kCorrection : 1.0 - kCorrection);
        else if (std::fabs(mean) < kSettledBelow || (m_rate > 1.0) != (mean > 0))
            setRate(player2, 1.0);  // close enough, or gone past player 1
    } catch (const std::exception& e) {
        // A player that fails here fails the next command too, which tells the user.
        logDropped("following player 1", e);
        disengage(player2);
    }
}

void PlayerFollower::setRate(IMediaPlayer& player2, double rate) {
    if (rate == m_rate)
        return;
    try {
        player2.setRate(rate);
        m_rate = rate;
    } catch (const std::exception& e) {
        logDropped("changing player 2's speed", e);
    }
}
