#include "WindowTransport.h"

#include <exception>

#include "frm1.h"

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

IRemoteTransport::State WindowTransport::state() {
    if (!m_window.geladen1)
        return State::Stopped;
    return m_window.wmp1->playState() == IMediaPlayer::kPlaying ? State::Playing : State::Paused;
}

double WindowTransport::position() {
    return m_window.geladen1 ? m_window.wmp1->currentPosition() : 0.0;
}

std::string WindowTransport::file() {
    return m_window.geladen1 ? m_window.media1 : std::string();
}
