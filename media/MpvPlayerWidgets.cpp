// The widgets the player fills its host with: the picture's window and the control bar.
#include <utility>

#include "MediaLog.h"
#include "MpvCore.h"
#include "MpvPlayer.h"
#include "MpvVideoWidget.h"
#include "PlayerControlBar.h"

void MpvPlayer::connectVideo() {
    // Deleting the host first takes the picture's window with it; libmpv must let go of it
    // before, or its next drawing is an X error.
    connect(m_video, &MpvVideoWidget::windowClosing, this, [this] {
        withdrawPicture();
        abandonOpen();  // the window goes: nobody waits for the news
        m_open.clear();
        stopPlaying();
        m_barTimer.stop();
        if (m_core) {  // not when the player itself is being destroyed
            m_core->shutDown();
        }
    });
    connect(m_video, &MpvVideoWidget::shown, this, [this] {
        // libmpv keeps its window from now on, so that an open need not wait for one to be
        // made; not before the window is on screen, where it would slow the start.
        QTimer::singleShot(0, this, &MpvPlayer::showNotice);
        if (!std::exchange(m_pictureDeferred, false)) {
            return;  // choosing the track again would restart the picture
        }
        try {
            m_core->setStringAsync("vid", "auto");
        } catch (const PlayerError& e) {
            qCWarning(lcMedia) << "cannot show the picture:" << e.what();
        }
    });
}

void MpvPlayer::connectBar() {
    connect(m_bar, &PlayerControlBar::playPauseClicked, this, &MpvPlayer::togglePlay);
    connect(m_bar, &PlayerControlBar::seekRequested, this, [this](double seconds) {
        try {
            setCurrentPosition(seconds);
        } catch (const PlayerError& e) {
            qCWarning(lcMedia) << "seek from the control bar failed:" << e.what();
        }
    });
    connect(m_bar, &PlayerControlBar::volumeRequested, this, [this](int volume) {
        try {
            m_core->setDoubleAsync("volume", volume);
        } catch (const PlayerError& e) {
            qCWarning(lcMedia) << "volume from the control bar failed:" << e.what();
        }
    });
    connect(m_bar, &PlayerControlBar::muteRequested, this, [this](bool muted) {
        try {
            m_core->setFlagAsync("mute", muted);
        } catch (const PlayerError& e) {
            qCWarning(lcMedia) << "mute from the control bar failed:" << e.what();
        }
    });
    m_barTimer.setInterval(250);
    connect(&m_barTimer, &QTimer::timeout, this, &MpvPlayer::refreshBar);
    connect(&m_barTimer, &QTimer::timeout, this, &MpvPlayer::checkWhereItStands);
}

void MpvPlayer::togglePlay() {
    try {
        if (m_state == kPlaying) {
            pause();
        } else {
            play();
        }
    } catch (const PlayerError& e) {
        qCWarning(lcMedia) << "play or pause from the control bar failed:" << e.what();
    }
}

void MpvPlayer::refreshBar() {
    if (!m_bar) {
        return;
    }
    m_bar->showPlaying(m_state == kPlaying);
    if (!m_open.hasFile()) {
        m_bar->showPosition(0, 0);
        return;
    }
    m_bar->showPosition(currentPosition(), m_core->observed().duration.value_or(0));
}
