#include "cHotKeyRegistry.h"

#include <array>
#include <cstddef>
#include <exception>
#include <utility>

#include "HotKeyError.h"
#include "HotKeyLog.h"
#include "Utf8.h"

namespace {

constexpr std::int32_t kErrNotRegistered = static_cast<std::int32_t>(0x80040419u);
constexpr std::int32_t kErrAddAtom = static_cast<std::int32_t>(0x8004041Au);
constexpr std::int32_t kErrRegister = static_cast<std::int32_t>(0x8004041Bu);
constexpr std::int32_t kErrDuplicate = static_cast<std::int32_t>(0x8004041Cu);

constexpr std::size_t kMaxNameLength = 32;
constexpr std::size_t kMaxAtomLength = 254;
constexpr std::size_t kErrorTextSize = 256;

// Ids the system reserves for its own Print Screen keys; they are reported before the table.
constexpr std::int32_t kIdSnapDesktop = -2;
constexpr std::int32_t kIdSnapWindow = -1;
constexpr std::int32_t kVkSnapshot = 44;
constexpr std::int32_t kModShift = 4;

std::string withSystemText(std::string description, const std::string& systemText) {
    if (!systemText.empty())
        description += " [" + systemText + "]";
    return description;
}

// The source names the running program, so a caller can tell whose registry failed.
HotKeyError raised(IHotKeyPlatform& platform, std::int32_t number, std::string description) {
    return HotKeyError(number, platform.ExecutableName() + ".cHotKeyRegistry",
                       std::move(description));
}

}  // namespace

cHotKeyRegistry::cHotKeyRegistry(IHotKeyPlatform& platform, IMessageHook& messageHook)
    : m_platform(platform), m_hook(messageHook) {}

cHotKeyRegistry::~cHotKeyRegistry() {
    // A destructor must not throw; a hook that refuses to let go at this point has nobody left
    // to report to but the log, and the keys were released before the unhook was tried.
    try {
        Clear();
    } catch (const std::exception& e) {
        HotKeyLog::warning(std::string("releasing the hot keys on destruction failed: ") +
                           e.what());
    } catch (...) {
        HotKeyLog::warning("releasing the hot keys on destruction failed: unknown error");
    }
}

void cHotKeyRegistry::Attach(HWND hwndA) {
    Clear();
    if (hwndA == 0)
        return;
    // Stored before hooking, so a later Clear unhooks this window even after a partial hook.
    m_hWnd = hwndA;
    m_hook.HookMessage(*this, m_hWnd, WM_HOTKEY);
    m_hook.HookMessage(*this, m_hWnd, WM_DESTROY);
}

void cHotKeyRegistry::Clear() {
    while (m_lCount > 0) {
        // A copy: the entry the name lives in is removed by the call.
        const std::string sName = m_tHotKeys[static_cast<std::size_t>(m_lCount - 1)].sName;
        UnregisterKey(sName);
    }
    if (m_hWnd != 0) {
        m_hook.UnhookMessage(*this, m_hWnd, WM_HOTKEY);
        m_hook.UnhookMessage(*this, m_hWnd, WM_DESTROY);
        m_hWnd = 0;
    }
}

void cHotKeyRegistry::RegisterKey(const std::string& sName, std::int32_t eKey,
                                  std::int32_t eModifiers) {
    if (utf8::length(sName) > kMaxNameLength) {
        throw raised(m_platform, kErrRegister, "Key Name too long (max 32 characters).");
    }
    for (const tHotKeyEntry& entry : m_tHotKeys) {
        if (entry.sName == sName) {
            throw raised(m_platform, kErrDuplicate,
                         "The Key Name '" + sName + "' is already registered.");
        }
    }

    // The tick keeps atoms of earlier runs or other instances apart; the name keeps apart
    // keys registered within the same millisecond.
    const auto tick = static_cast<std::int32_t>(m_platform.GetTickCount());
    std::string sAtomName = sName + "_" + m_platform.ExecutableName() + "_" + std::to_string(tick);
    sAtomName = utf8::prefix(sAtomName, kMaxAtomLength);

    const std::uint16_t atom = m_platform.GlobalAddAtom(sAtomName);
    const std::int32_t lId = static_cast<std::int16_t>(atom);
    if (lId == 0) {
        const std::uint32_t lErr = m_platform.GetLastError();
        throw raised(m_platform, kErrAddAtom,
                     withSystemText("Failed to add GlobalAtom", SystemErrorText(lErr)));
    }

    if (!m_platform.RegisterHotKey(m_hWnd, lId, eModifiers, eKey)) {
        const std::uint32_t lErr = m_platform.GetLastError();
        m_platform.GlobalDeleteAtom(atom);
        throw raised(m_platform, kErrRegister,
                     withSystemText("Failed to Register Hot Key", SystemErrorText(lErr)));
    }

    // Grow by exactly one entry; the table never holds spare room.
    m_tHotKeys.reserve(static_cast<std::size_t>(m_lCount) + 1);
    m_tHotKeys.push_back(tHotKeyEntry{sName, sAtomName, lId, eKey, eModifiers});
    ++m_lCount;
}

void cHotKeyRegistry::UnregisterKey(const std::string& sName) {
    const std::int32_t index = KeyIndex(sName);
    const tHotKeyEntry& entry = m_tHotKeys[static_cast<std::size_t>(index - 1)];

    // Whatever the system answers, the key is considered gone: there is nothing a caller
    // could do about a registration or atom that refuses to be released.
    m_platform.UnregisterHotKey(m_hWnd, entry.lId);
    m_platform.GlobalDeleteAtom(static_cast<std::uint16_t>(entry.lId));

    if (m_lCount > 1) {
        m_tHotKeys.erase(m_tHotKeys.begin() + (index - 1));
        m_tHotKeys.shrink_to_fit();
        --m_lCount;
    } else {
        m_lCount = 0;
        std::vector<tHotKeyEntry>().swap(m_tHotKeys);
    }
}

void cHotKeyRegistry::RestoreAndActivate(HWND hwnd) {
    if (m_platform.IsIconic(hwnd))
        m_platform.SendRestore(hwnd);
}

std::int32_t cHotKeyRegistry::MsgResponse() const {
    return 2;
}

void cHotKeyRegistry::MsgResponse(std::int32_t /*RHS*/) {}

std::int32_t cHotKeyRegistry::WindowProc(HWND /*hwnd*/, std::int32_t iMsg, std::int32_t wParam,
                                         std::int32_t lParam) {
    if (iMsg == WM_DESTROY) {
        Clear();
    } else if (iMsg == WM_HOTKEY) {
        // Copies, not references into the table: a handler may change the table while the
        // event runs, and the arguments of this press must stay as they were.
        std::string sName;
        std::int32_t eModifiers = 0;
        std::int32_t eKey = 0;
        if (wParam == kIdSnapDesktop) {
            sName = "Desktop Snapshot";
            eKey = kVkSnapshot;
        } else if (wParam == kIdSnapWindow) {
            sName = "Window Snapshot";
            eModifiers = kModShift;
            eKey = kVkSnapshot;
        } else {
            sName = "Unknown HotKey";
            eModifiers = lParam & 0xFFFF;
            eKey = lParam / 65536;
            for (const tHotKeyEntry& entry : m_tHotKeys) {
                if (entry.lId == wParam) {
                    sName = entry.sName;
                    eModifiers = entry.eModifiers;
                    eKey = entry.eKey;
                    break;
                }
            }
        }
        HotKeyPress.raise(sName, eModifiers, eKey);
    }
    return 0;
}

std::int32_t cHotKeyRegistry::KeyIndex(const std::string& sName) const {
    for (std::int32_t i = 1; i <= m_lCount; ++i) {
        if (m_tHotKeys[static_cast<std::size_t>(i - 1)].sName == sName)
            return i;
    }
    throw raised(m_platform, kErrNotRegistered,
                 "No hot key registered under the name '" + sName + "'");
}

std::string cHotKeyRegistry::SystemErrorText(std::uint32_t lErr) {
    std::array<char, kErrorTextSize> buffer{};
    const std::size_t n = m_platform.FormatMessage(lErr, buffer.data(), buffer.size());
    if (n == 0)
        return {};
    // Taken as the system wrote it; a trailing line break belongs to the text.
    return std::string(buffer.data(), n < buffer.size() ? n : buffer.size());
}
