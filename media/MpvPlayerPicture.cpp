// Holding the picture while the player seeks, so that players seeking together show their
// new pictures at the same moment (PictureGroup.h); and filling in sparse pictures
// (PictureSpacing.h).
#include "MpvPlayer.h"

#include <cmath>
#include <string>

#include "MediaLog.h"
#include "MpvCore.h"
#include "MpvVideoWidget.h"

bool MpvPlayer::seeking() const {
    return m_position.seeking(PlayerPosition::Clock::now());
}

std::chrono::milliseconds MpvPlayer::pictureDelay() const {
    using std::chrono::milliseconds;
    if (!m_core || !m_core->observed().hasPicture) {
        return milliseconds{0};
    }
    // libmpv shows the frame a paused player landed on a frame's time after the landing. A
    // file that declares no rate counts as 10 frames a second; a slide show's long frames
    // are not waited for.
    const double rate = m_spacing.filled() ? PictureSpacing::kFilledRate
                                           : m_core->observed().frameRate.value_or(10.0);
    return rate > 4.0 ? milliseconds{static_cast<long>(std::ceil(1000.0 / rate))}
                      : milliseconds{250};
}

void MpvPlayer::holdPicture() {
    if (m_video) {
        m_video->holdPicture();
    }
}

void MpvPlayer::releasePicture() {
    if (m_video) {
        m_video->releasePicture();
    }
}

void MpvPlayer::seekLanded() {
    m_listener.seekLanded(*this);
}

void MpvPlayer::withdrawPicture() {
    m_listener.emptied(*this);
}

void MpvPlayer::onPictureRateReported() {
    const auto& observed = m_core->observed();
    // Until the file is loaded the news may still be of the file before.
    if (!m_open.hasFile() || !m_spacing.rateReported(observed.pictureRate, observed.stillPicture)) {
        return;
    }
    qCInfo(lcMedia, "pictures %.2f s apart: filled in to %g a second", 1.0 / *observed.pictureRate,
           PictureSpacing::kFilledRate);
    try {
        m_core->setStringAsync(
            "vf", "fps=" + std::to_string(static_cast<int>(PictureSpacing::kFilledRate)));
    } catch (const PlayerError& e) {
        qCWarning(lcMedia) << "cannot fill in sparse pictures:" << e.what();
    }
}
