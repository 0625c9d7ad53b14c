#include "PlayerFollower.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "WindowLog.h"

namespace {

// Readings averaged before a decision: through PipeWire a single reading is now and then a few
// milliseconds off.
constexpr int kReadingsPerDecision = 8;
// Player 2 catches up from this average gap: two players heard further apart than this begin
// to sound like an echo. Readings of sound beside moving pictures are up to about 3 ms off, and
// catching up on those would move what is heard by as much; there it catches up from a gap
// just above them, a PipeWire graph cycle (10.7 ms) among them. Where a player's position moves
// with its pictures (a video without sound), readings are several milliseconds off either way
// (a busy machine draws late): there it catches up only from a larger gap, as drift grows. So it
// does away from the normal speed, where the pitch-keeping filter stands between the position
// read and the sound heard: readings there are several milliseconds off, and a change of speed
// moves what the filter plays by more than the speed says.
constexpr double kCatchUpFrom = 0.002;
constexpr double kCatchUpBesidePicturesFrom = 0.004;
constexpr double kCatchUpRoughlyFrom = 0.015;
// Where PipeWire converts a player's sound (a phone recording at 16 kHz beside a file at 48 kHz),
// that player reads 8-10 ms behind what is heard, from the start on and as long as it plays;
// made up, that put an echo of as much between two players heard together. There the first
// decision's gap is taken for the readings' own, and only what changes from it is made up (drift,
// PipeWire moving a stream by a graph cycle), from a gap just above the readings' unevenness.
constexpr double kCatchUpConvertedFrom = 0.004;
// Through PulseAudio, readings are now and then about 3 ms off for a few seconds while the two
// are heard together; a correction on those moved what was heard by as much. A gap smaller than
// this is made up only once the next decision finds it on the same side too: drift stays, and
// a real gap of a few milliseconds is not yet an echo.
constexpr double kConfirmedBelow = 0.005;
// A gap is made up in about this time, at least one percent faster or slower (10 ms a second,
// too little to hear in speech) and at most four. Drift takes less than a second at one
// percent; a gap a busy machine made (a sound output that ran dry puts a player a tenth of a
// second off) is an echo, and is made up within these seconds.
constexpr double kCatchUpSeconds = 4.0;
constexpr double kLeastCorrection = 0.01;
constexpr double kMostCorrection = 0.04;
// Read from the sound, the readings of two players heard together agree within a millisecond or
// two. A step of this much is PipeWire moving one stream by a graph cycle (10.7 ms) while it
// plays: averaged in with the readings before it, it was made up in part, and the rest had to be
// read twice more, seconds of an echo. Readings of pictures are rougher; there a step is a jump
// from the rougher gap on.
constexpr double kSoundStepFrom = 0.005;
// Drift grows by milliseconds a minute, a busy spell adds some hundreds; a gap of a second or
// more was made on purpose, on one player's own bar, and is left alone.
constexpr double kLargestDrift = 1.0;

struct Correction {
    double rate;
    int readings;  // player 2 plays at `rate` until this many more readings are taken
};

// The speed that makes up the gap exactly in a whole number of readings, no faster than wanted:
// rounded steps of speed or of duration would leave part of a small gap, which is heard.
// At a speed other than 1 (base) the gap closes by that much more or less each reading.
Correction correctionFor(double gap, double base) {
    const double wanted =
        std::clamp(std::fabs(gap) / kCatchUpSeconds, kLeastCorrection, kMostCorrection);
    // Seconds of the recording played between two readings.
    const double reading = PlayerFollower::kSampleInterval / 1000.0 * base;
    const int readings =
        std::max(1, static_cast<int>(std::ceil(std::fabs(gap) / (wanted * reading) - 1e-9)));
    const double change = std::fabs(gap) / (readings * reading);
    return {gap > 0 ? 1.0 + change : 1.0 - change, readings};
}

}  // namespace

void PlayerFollower::engage() {
    m_engaged = true;
    m_smallGapSide = 0;
    m_readingsOwnGap.reset();
    measureAfresh();
}

void PlayerFollower::disengage(IMediaPlayer& player2) {
    m_engaged = false;
    measureAfresh();
    setRate(player2, m_speed);
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
        const IMediaPlayer::Reading from = roughest(player1, player2);
        const bool converted = from == IMediaPlayer::Reading::ConvertedSound;
        const double gap = m_offset.player2At(player1.positionNow()) - player2.positionNow() -
                           (converted ? m_readingsOwnGap.value_or(0.0) : 0.0);
        const double base = baseRate();
        if (std::fabs(gap) >= kLargestDrift) {
            measureAfresh();
            setRate(player2, base);
            return;
        }
        // A correction runs for the time its gap takes to make up, then the gap is measured
        // again at normal speed. Deciding from readings taken while it runs would send player 2
        // past player 1 and back, changing its speed every few seconds.
        if (m_correctionLeft > 0) {
            if (--m_correctionLeft == 0)
                setRate(player2, base);
            return;
        }
        // The gap jumped (a sound output ran dry, player 2 was moved a little on its own bar):
        // an average across the jump would make up only part of it, so measuring starts again.
        const double least = catchUpFrom(from);
        const double jump = least < kCatchUpRoughlyFrom ? kSoundStepFrom : kCatchUpRoughlyFrom;
        if (m_readings > 0 && std::fabs(gap - m_gapSum / m_readings) >= jump) {
            qCDebug(lcWindow, "player 2 %.1f ms behind player 1 from now on: measured afresh",
                    gap * 1000.0);
            m_smallGapSide = 0;
            measureAfresh();
        }
        m_gapSum += gap;
        if (++m_readings < kReadingsPerDecision)
            return;
        const double mean = m_gapSum / m_readings;
        measureAfresh();
        if (converted && !m_readingsOwnGap) {
            qCDebug(lcWindow,
                    "player 2 reads %.1f ms behind player 1 where PipeWire converts: "
                    "the readings' own",
                    mean * 1000.0);
            m_readingsOwnGap = mean;
            return;
        }
        if (std::fabs(mean) < least) {
            qCDebug(lcWindow, "player 2 %.1f ms behind player 1 on average: left alone",
                    mean * 1000.0);
            m_smallGapSide = 0;
            return;
        }
        const int side = mean > 0 ? 1 : -1;
        if (std::fabs(mean) < kConfirmedBelow && std::exchange(m_smallGapSide, side) != side) {
            qCDebug(lcWindow, "player 2 %.1f ms behind player 1 on average: made up if read again",
                    mean * 1000.0);
            return;
        }
        m_smallGapSide = 0;
        const Correction correction = correctionFor(mean, base);
        qCDebug(lcWindow, "player 2 %.1f ms behind player 1 on average: speed %.4f for %d readings",
                mean * 1000.0, correction.rate, correction.readings);
        setRate(player2, base * correction.rate);
        m_correctionLeft = correction.readings;
    } catch (const std::exception& e) {
        // A player that fails here fails the next command too, which tells the user.
        logDropped("following player 1", e);
        disengage(player2);
    }
}

IMediaPlayer::Reading PlayerFollower::roughest(IMediaPlayer& player1, IMediaPlayer& player2) {
    return std::max(player1.positionNowFrom(), player2.positionNowFrom());
}

double PlayerFollower::catchUpFrom(IMediaPlayer::Reading from) const {
    using Reading = IMediaPlayer::Reading;
    if (m_speed != 1.0 || from == Reading::Pictures)
        return kCatchUpRoughlyFrom;
    if (from == Reading::ConvertedSound)
        return kCatchUpConvertedFrom;
    return from == Reading::Sound ? kCatchUpFrom : kCatchUpBesidePicturesFrom;
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
