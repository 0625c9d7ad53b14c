#include "PlayerFollower.h"

#include <algorithm>
#include <cmath>

#include "WindowLog.h"

namespace {

// Readings averaged before a decision: a single reading is off by up to a frame, since each
// player's position moves with its own pictures.
constexpr int kReadingsPerDecision = 8;
// Player 2 catches up from this average gap.
constexpr double kCatchUpFrom = 0.015;
// A gap is made up in about this time, at one percent (10 ms a second, too little to hear in
// speech) to four percent (after the machine held one player back for a while), in steps of
// half a percent.
constexpr double kCatchUpSeconds = 10.0;
constexpr double kLeastCorrection = 0.01;
constexpr double kMostCorrection = 0.04;
constexpr double kCorrectionStep = 0.005;
// Drift grows by milliseconds a minute, a busy spell adds some hundreds; a gap of a second or
// more was made on purpose, on one player's own bar, and is left alone.
constexpr double kLargestDrift = 1.0;

double correctionFor(double gap) {
    const double wanted =
        std::clamp(std::fabs(gap) / kCatchUpSeconds, kLeastCorrection, kMostCorrection);
    const double stepped = std::round(wanted / kCorrectionStep) * kCorrectionStep;
    return gap > 0 ? 1.0 + stepped : 1.0 - stepped;
}

}  // namespace

void PlayerFollower::engage() {
    m_engaged = true;
    measureAfresh();
}

void PlayerFollower::disengage(IMediaPlayer& player2) {
    m_engaged = false;
    measureAfresh();
    setRate(player2, 1.0);
}

void PlayerFollower::measureAfresh() {
    m_gapSum = 0.0;
    m_readings = 0;
    m_correctionLeft = 0;
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
        if (std::fabs(gap) >= kLargestDrift) {
            measureAfresh();
            setRate(player2, 1.0);
            return;
        }
        // A correction runs for the time its gap takes to make up, then the gap is measured
        // again at normal speed. Deciding from readings taken while it ran made player 2 go
        // past player 1 and back, changing its speed every few seconds.
        if (m_correctionLeft > 0) {
            if (--m_correctionLeft == 0)
                setRate(player2, 1.0);
            return;
        }
        m_gapSum += gap;
        if (++m_readings < kReadingsPerDecision)
            return;
        const double mean = m_gapSum / m_readings;
        measureAfresh();
        if (std::fabs(mean) < kCatchUpFrom)
            return;
        const double rate = correctionFor(mean);
        const double seconds = std::fabs(mean / (rate - 1.0));
        setRate(player2, rate);
        m_correctionLeft =
            std::max(1, static_cast<int>(std::lround(seconds * 1000.0 / kSampleInterval)));
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
