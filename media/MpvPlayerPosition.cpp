// Where the player stands, as libmpv last reported it and the seeks written since tell
// (PlayerPosition.h); and what the player does at the end of its file.
#include <algorithm>
#include <cmath>
#include <string>

#include "MediaLog.h"
#include "MpvCore.h"
#include "MpvPlayer.h"
#include "SoundClock.h"

namespace {
// The rate PipeWire runs at unless its user set another.
constexpr std::int64_t kPipeWireRate = 48000;
}  // namespace

double MpvPlayer::currentPosition() {
    return readPosition(!picturesMove());
}

IMediaPlayer::Reading MpvPlayer::positionNowFrom() {
    requireFile();
    const auto& observed = m_core->observed();
    if (picturesMove() && observed.audioOutput.empty()) {
        return Reading::Pictures;
    }
    if (observed.audioOutput == "pipewire" && observed.outputRate &&
        *observed.outputRate != kPipeWireRate) {
        return Reading::ConvertedSound;
    }
    return picturesMove() ? Reading::SoundBesidePictures : Reading::Sound;
}

bool MpvPlayer::picturesMove() const {
    const auto& observed = m_core->observed();
    return observed.hasPicture && !observed.stillPicture;
}

double MpvPlayer::positionNow() {
    return readPosition(true);
}

// The position of the last report; carried on to this moment (SoundClock) while playing if
// `carried`, from the sound heard where pictures move with sound beside them. A picture's
// position stays on it while it is on screen.
double MpvPlayer::readPosition(bool carried) const {
    requireFile();
    const auto& observed = m_core->observed();
    const auto now = PlayerPosition::Clock::now();
    const double reported = m_position.position({observed.timePos, observed.timePosSerial}, now);
    const bool current = observed.timePos && m_position.isCurrent(observed.timePosSerial, now);
    if (current && carried && m_state == kPlaying && !observed.paused && !observed.eofReached) {
        const auto at = SoundClock::Clock::now();
        auto sounding = picturesMove() ? observed.heard.position(at, m_speed) : std::nullopt;
        if (!sounding) {
            sounding = observed.sound.position(at, m_speed);
        }
        if (sounding) {
            return std::max(*sounding, 0.0);
        }
    }
    if (current && observed.paused && !picturesMove()) {
        if (const auto landed = soundLanding()) {
            return *landed;
        }
    }
    return reported;
}

// A paused file of sound alone stands where its last seek landed (landedOffBy()). libmpv's
// position then comes short by the sound queued for the start, through PulseAudio about a
// tenth of a second: read from there, every pause and start would be heard again from a tenth
// earlier. Well short of the landing, the file's data ended before it, and libmpv says where.
std::optional<double> MpvPlayer::soundLanding() const {
    const auto& observed = m_core->observed();
    const std::optional<double> sent = m_position.sentTo();
    if (!sent || m_position.endedShortOfSeek(observed.timePos, observed.duration)) {
        return std::nullopt;
    }
    return soundLandingFor(*sent);
}

double MpvPlayer::soundLandingFor(double sent) const {
    return std::max(sent, m_firstSound.value_or(0.0));
}

void MpvPlayer::setCurrentPosition(double seconds) {
    requireFile();
    if (std::isnan(seconds)) {
        throw PlayerError("position is not a number");
    }
    seconds = std::max(seconds, 0.0);
    const auto duration = m_core->observed().duration;
    if (duration && seconds >= *duration) {
        stopAndRewind();
        return;
    }
    seekTo(seconds);
    if (m_state == kStopped) {
        m_state = kPaused;
    }
}

// libavformat finds a position in some containers of sound (WMA's ASF) by their data packets,
// which may put it after the position asked for: an exact seek then starts where the packet
// begins, tens of milliseconds late. Sound alone costs little to decode, so its seeks start a
// second early and decode up to the position; pictures keep the demuxer's own start, a keyframe
// before it.
void MpvPlayer::fitSeeksToFile() {
    if (!m_core || !m_core->started()) {
        return;
    }
    try {
        m_core->setDoubleAsync("hr-seek-demuxer-offset",
                               m_core->observed().hasPicture ? 0.0 : kSoundSeeksEarlyBy);
    } catch (const PlayerError& e) {
        qCWarning(lcMedia) << "cannot fit the seeks to the file:" << e.what();
    }
}

bool MpvPlayer::startsWherePictureLands() const {
    return m_open.hasFile() && picturesMove();
}

// The observed position may still be the seek's when the landing is told, so where the picture
// landed is read once the landing is told, after every landing. Sound alone lands where it is
// sent, or at the file's first sound if sent before it (libmpv adds no silence in front): where
// that sound begins is read at the landing that follows the open, where libmpv started by
// itself. Later reads of a paused player's sound are no landings: through PulseAudio they come
// short by the sound queued for the start, by a different amount for each player.
void MpvPlayer::readLanding(bool firstSince) {
    m_landedAt.reset();
    const bool firstSound = firstSince && !m_firstSound && m_firstSoundRead == 0;
    if (!startsWherePictureLands() && !firstSound) {
        return;
    }
    try {
        m_core->readDoubleAsync(++m_landingReads, "time-pos");
        if (firstSound) {
            m_firstSoundRead = m_landingReads;
        }
    } catch (const PlayerError& e) {
        qCWarning(lcMedia) << "cannot read where the seek landed:" << e.what();
        m_landedAt = m_sentTo;
    }
}

void MpvPlayer::onLandingRead(quint64 id, std::optional<double> seconds) {
    if (id == m_firstSoundRead) {
        m_firstSoundRead = 0;
        m_firstSound = std::max(seconds.value_or(0.0), 0.0);
    }
    if (id != m_landingReads) {
        return;
    }
    m_landedAt = seconds.value_or(m_sentTo);
    seekLanded();
}

std::optional<double> MpvPlayer::landedOffBy() const {
    if (!startsWherePictureLands()) {
        if (m_firstSoundRead != 0) {
            return std::nullopt;
        }
        return soundLandingFor(m_sentTo) - m_sentTo;
    }
    if (!m_landedAt) {
        return std::nullopt;
    }
    return *m_landedAt - m_sentTo;
}

void MpvPlayer::moveStartBy(double seconds) {
    try {
        seekTo(std::max(m_sentTo + seconds, 0.0));
    } catch (const PlayerError& e) {
        qCWarning(lcMedia) << "cannot move the start to the other player's:" << e.what();
    }
}

void MpvPlayer::onTimePosReported() {
    const auto& observed = m_core->observed();
    const auto now = PlayerPosition::Clock::now();
    m_position.reported({observed.timePos, observed.timePosSerial}, now);
    // A paused player moved onto its end learns where it landed only from this report.
    if (readyToStart() && m_position.isCurrent(observed.timePosSerial, now)) {
        stopIfAtEnd();
    }
}

void MpvPlayer::onEofReached(bool reached) {
    // The news may be stale: a position written since then moved the player away from the end,
    // and that seek's own completion checks for the end again.
    if (!reached || !m_open.hasFile() || m_state == kStopped || !readyToStart()) {
        return;
    }
    if (giveUpIfEndedEarly(m_core->observed().timePos)) {
        return;
    }
    try {
        stopAndRewind();
    } catch (const PlayerError& e) {
        qCWarning(lcMedia) << "cannot rewind at the end:" << e.what();
    }
}

void MpvPlayer::stopIfAtEnd() {
    // A paused player moved onto its very end does not report the end until it plays, but it
    // stands at the end all the same.
    if (!m_open.hasFile() || m_state == kStopped) {
        return;
    }
    const auto& observed = m_core->observed();
    // A seek past where a file's data ends lands at that end.
    if (observed.eofReached && m_position.endedShortOfSeek(observed.timePos, observed.duration) &&
        giveUpIfEndedEarly(observed.timePos)) {
        return;
    }
    if (observed.timePos && observed.duration &&
        *observed.timePos >= *observed.duration - kEndTolerance) {
        try {
            stopAndRewind();
        } catch (const PlayerError& e) {
            qCWarning(lcMedia) << "cannot rewind at the end:" << e.what();
        }
    }
}

void MpvPlayer::checkWhereItStands() {
    // A paused player sent past where its data ends may stand at that end with no news of it.
    const auto now = PlayerPosition::Clock::now();
    std::optional<double> standing;
    std::optional<double> length;
    if (m_open.mayStart() && m_state == kPaused) {
        const auto& observed = m_core->observed();
        if (observed.timePos && m_position.isCurrent(observed.timePosSerial, now)) {
            standing = observed.timePos;
            length = observed.duration;
        }
    }
    if (m_position.standsShort(standing, length, now)) {
        giveUpIfEndedEarly(standing);
    }
}

bool MpvPlayer::giveUpIfEndedEarly(std::optional<double> dataEnd) {
    const auto& observed = m_core->observed();
    // A guessed length says nothing of where the data ends: such a file ends as any other.
    if (observed.durationGuessed || !PlayerPosition::endedEarly(dataEnd, observed.duration)) {
        return false;
    }
    giveUpFile("its data ends at " + std::to_string(*dataEnd) + " s of " +
                   std::to_string(*observed.duration) + " s",
               true);
    return true;
}
