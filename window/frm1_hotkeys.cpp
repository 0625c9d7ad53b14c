// The window's side of the system-wide hot keys: registration at start-up and dispatch.
#include "frm1.h"

void frm1::startHotKeys() {
    m_cHotKey = std::make_unique<cHotKeyRegistry>(m_hotKeyPlatform, m_messageHook);
    m_cHotKey->HotKeyPress.connect(
        [this](const std::string& sName, std::int32_t eModifiers, std::int32_t eKey) {
            m_cHotKey_HotKeyPress(sName, eModifiers, eKey);
        });
    m_cHotKey->Attach(static_cast<HWND>(winId()));
    m_cHotKey->RegisterKey("spielen", 114, 0);  // F3
    m_cHotKey->RegisterKey("stop", 113, 0);     // F2
    m_cHotKey->RegisterKey("zurueck", 112, 0);  // F1
}

void frm1::m_cHotKey_HotKeyPress(const std::string& sName, std::int32_t /*eModifiers*/,
                                 std::int32_t /*eKey*/) {
    // Every hot key brings a minimised window back, even before any file is loaded.
    m_cHotKey->RestoreAndActivate(static_cast<HWND>(winId()));

    const bool bothLoaded = geladen1 && geladen2;
    if (sName == "spielen" && bothLoaded) {
        play_both();
    } else if (sName == "stop" && bothLoaded) {
        pause_both();
    } else if (sName == "zurueck" && bothLoaded) {
        back_both();
    }
}
