#include "PedalTransport.h"

#include <exception>

#include "PedalLogging.h"
#include "frm1.h"

// The window has no hot key for it: the same steps as its handler, then the button's command.
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
