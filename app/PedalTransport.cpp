#include "PedalTransport.h"

#include <exception>

#include "PedalLogging.h"
#include "frm1.h"

// The names and keys the window registered; only the name selects the command.
void PedalTransport::play() {
    m_window.m_cHotKey_HotKeyPress("spielen", 0, 114);
}

void PedalTransport::pause() {
    m_window.m_cHotKey_HotKeyPress("stop", 0, 113);
}

void PedalTransport::back() {
    m_window.m_cHotKey_HotKeyPress("zurueck", 0, 112);
}

void PedalTransport::forward() {
    if (m_window.m_cHotKey)
        m_window.m_cHotKey->RestoreAndActivate(static_cast<HWND>(m_window.winId()));
    if (m_window.geladen1 && m_window.geladen2)
        m_window.ffw_Click();
}

// A player that answers nothing counts as standing, so the toggle plays.
bool PedalTransport::playing() {
    if (!m_window.geladen1)
        return false;
    try {
        return m_window.wmp1->playState() == IMediaPlayer::kPlaying;
    } catch (const std::exception& e) {
        qCWarning(lcPedals) << "player 1 does not say whether it plays; the middle pedal plays:"
                            << e.what();
        return false;
    }
}
