#include "WindowTransport.h"

#include <QLoggingCategory>
#include <exception>
#include <utility>

#include "frm1.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

// The names and keys the window registered; only the name selects the command.
void WindowTransport::play() {
    m_window.m_cHotKey_HotKeyPress("spielen", 0, 114);
}

void WindowTransport::pause() {
    m_window.m_cHotKey_HotKeyPress("stop", 0, 113);
}

void WindowTransport::back() {
    m_window.m_cHotKey_HotKeyPress("zurueck", 0, 112);
}

// Neither restores nor raises the window: the user goes on typing in another program.
void WindowTransport::copyTime() {
    m_window.copy_time_Click();
}

void WindowTransport::open(const std::string& file1, const std::string& file2) {
    if (!file1.empty())
        m_window.openFileNamed(1, file1);
    if (!file2.empty())
        m_window.openFileNamed(2, file2);
}

// A speed from the remote is the user's as much as one from the window's buttons, and is kept
// the same way. The bus refuses one out of range before it comes here.
void WindowTransport::setSpeed(double speed) {
    const double before = m_window.speed();
    if (!m_window.setSpeed(speed)) {
        qCWarning(lcRemote) << "the window refused a speed of" << speed;
        return;
    }
    if (m_window.speed() != before && m_window.onSettingsChanged)
        m_window.onSettingsChanged();
}

void WindowTransport::slower() {
    m_window.slower_Click();
}

void WindowTransport::faster() {
    m_window.faster_Click();
}

double WindowTransport::speed() {
    return m_window.speed();
}

// The remote asks from timers and bus calls, where an exception would end the program. A
// player whose file libmpv gave up after the open stays loaded for the window, but answers
// nothing: it counts as stopped at 0 until it answers again.
IRemoteTransport::State WindowTransport::state() {
    if (!m_window.geladen1)
        return State::Stopped;
    try {
        const bool playing = m_window.wmp1->playState() == IMediaPlayer::kPlaying;
        m_unanswered = false;
        return playing ? State::Playing : State::Paused;
    } catch (const std::exception& e) {
        unanswered(e);
        return State::Stopped;
    }
}

double WindowTransport::position() {
    if (!m_window.geladen1)
        return 0.0;
    try {
        const double seconds = m_window.wmp1->currentPosition();
        m_unanswered = false;
        return seconds;
    } catch (const std::exception& e) {
        unanswered(e);
        return 0.0;
    }
}

std::string WindowTransport::file() {
    return m_window.geladen1 ? m_window.media1 : std::string();
}

// Said once while the player stays silent: the remote asks four times a second.
void WindowTransport::unanswered(const std::exception& e) {
    if (std::exchange(m_unanswered, true))
        return;
    qCWarning(lcRemote) << "player 1 does not answer; the remote shows it stopped at 0:"
                        << e.what();
}
