#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdint>
#include <vector>

#include "PlatformError.h"

// Passive key grabs on the root window, in every combination of the lock keys the modifier
// map has (CapsLock, NumLock, ScrollLock where mapped), so a hot key works whichever is on.
// Knows xcb only.
class KeyGrabber {
public:
    struct Grab {
        xcb_keycode_t keycode;
        std::uint16_t modifiers;
    };

    KeyGrabber(xcb_connection_t* connection, xcb_window_t root);
    ~KeyGrabber();
    KeyGrabber(const KeyGrabber&) = delete;
    KeyGrabber& operator=(const KeyGrabber&) = delete;

    // X modifier mask for hot-key flags (1 Alt, 2 Control, 4 Shift, 8 Super).
    static std::uint16_t modifierMask(std::int32_t hotKeyModifiers);

    // The keycodes that produce the keysym on this keyboard; empty if none does.
    std::vector<xcb_keycode_t> keycodesFor(std::uint32_t keysym) const;

    // Grabs every keycode with mask in all lock variants. All or nothing: on failure every
    // variant already taken is released again and the reason is returned.
    PlatformError grab(const std::vector<xcb_keycode_t>& keycodes, std::uint16_t mask,
                       std::vector<Grab>& grabs);
    void ungrab(const std::vector<Grab>& grabs);

    // The part of a key event's state that tells hot keys apart: locks and buttons removed.
    static std::uint16_t significantState(std::uint16_t state);

    xcb_window_t root() const { return m_root; }
    // Forgets what it knew of the keyboard after the server announced a change of the key
    // or modifier map; the next look-up reads the new one.
    void reloadKeyboard();

    // Every combination of the lock modifiers mapped now, starting with none.
    std::vector<std::uint16_t> lockVariants() const;

private:
    void readLockMasks();
    std::uint16_t modifierOf(std::uint32_t keysym, const xcb_get_modifier_mapping_reply_t& map);

    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    xcb_key_symbols_t* m_symbols;
    std::uint16_t m_numLockMask = 0;
    std::uint16_t m_scrollLockMask = 0;
};
