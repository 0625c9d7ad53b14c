#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Event.h"
#include "IHotKeyPlatform.h"
#include "IMessageHook.h"
#include "ISubclass.h"

// Gives one window a set of system-wide hot keys addressed by name.
class cHotKeyRegistry : public ISubclass {
public:
    cHotKeyRegistry(IHotKeyPlatform& platform, IMessageHook& messageHook);
    ~cHotKeyRegistry() override;
    cHotKeyRegistry(const cHotKeyRegistry&) = delete;
    cHotKeyRegistry& operator=(const cHotKeyRegistry&) = delete;

    void Attach(HWND hwndA);
    void Clear();
    void RegisterKey(const std::string& sName, std::int32_t eKey, std::int32_t eModifiers);
    void UnregisterKey(const std::string& sName);
    void RestoreAndActivate(HWND hwnd);

    // HotKeyPress(sName, eModifiers, eKey)
    Event<const std::string&, std::int32_t, std::int32_t> HotKeyPress;

    // ISubclass
    std::int32_t MsgResponse() const override;
    void MsgResponse(std::int32_t RHS) override;
    std::int32_t WindowProc(HWND hwnd, std::int32_t iMsg, std::int32_t wParam,
                            std::int32_t lParam) override;

private:
    struct tHotKeyEntry {
        std::string sName;
        std::string sAtomName;
        std::int32_t lId;
        std::int32_t eKey;
        std::int32_t eModifiers;
    };

    std::int32_t KeyIndex(const std::string& sName) const;
    std::string SystemErrorText(std::uint32_t lErr);

    IHotKeyPlatform& m_platform;
    IMessageHook& m_hook;

    std::vector<tHotKeyEntry> m_tHotKeys;
    std::int32_t m_lCount = 0;
    HWND m_hWnd = 0;
};
