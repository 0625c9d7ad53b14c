#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "AtomTable.h"
#include "PlatformError.h"
#include "WindowHandle.h"

// What every hot-key platform keeps alike, whatever binds its keys: the program's atoms, the
// last error and its text, and the rules a key passes before it is bound. A registration is
// anything with hwnd, id, modifiers and virtualKey; each platform adds what its binding needs.
class HotKeyBook {
public:
    // GlobalAddAtom and GlobalDeleteAtom; a refusal becomes the last error.
    std::uint16_t addAtom(const std::string& s);
    void deleteAtom(std::uint16_t atom);
    // The text an atom was made from; empty for an unknown atom.
    std::string atomName(std::uint16_t atom) const { return m_atoms.name(atom); }

    // Keeps error as the last one; false, for the refused call to return.
    bool fail(PlatformError error);
    std::uint32_t lastError() const { return m_lastError; }
    // FormatMessage: the text of an error code, cut to size characters.
    static std::size_t formatMessage(std::uint32_t code, char* buffer, std::size_t size);

    // Whether a key may join those registered; if not (its id is taken for the window, or this
    // program holds its combination already), the reason becomes the last error.
    template <typename Registration>
    bool admits(const std::vector<Registration>& registered, HWND hwnd, std::int32_t id,
                std::int32_t modifiers, std::int32_t virtualKey) {
        for (const Registration& r : registered) {
            if (r.hwnd == hwnd && r.id == id)
                return fail(PlatformError::IdInUse);
            if (r.virtualKey == virtualKey && r.modifiers == modifiers)
                return fail(PlatformError::KeyRegisteredHere);
        }
        return true;
    }

    // The registration of id for hwnd; end() when there is none, which becomes the last error.
    template <typename Registration>
    typename std::vector<Registration>::iterator find(std::vector<Registration>& registered,
                                                      HWND hwnd, std::int32_t id) {
        const auto it = std::find_if(registered.begin(), registered.end(),
                                     [&](const auto& r) { return r.hwnd == hwnd && r.id == id; });
        if (it == registered.end())
            fail(PlatformError::IdNotRegistered);
        return it;
    }

private:
    AtomTable m_atoms;
    std::uint32_t m_lastError = 0;
};

// WM_HOTKEY's lParam for a key: its virtual key in the high word, its modifiers in the low.
std::int32_t hotKeyLParam(std::int32_t virtualKey, std::int32_t modifiers);
