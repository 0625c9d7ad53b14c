#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <string>
#include <vector>

// A second X client with its own connection, standing for another program on the desktop.
class OtherClient {
public:
    OtherClient();
    ~OtherClient();
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    // The lock variants of a combination: plain, CapsLock, NumLock (Mod2 in Xvfb's keymap), both.
    static const std::vector<std::uint16_t>& lockVariants();

    xcb_keycode_t keycode(const std::string& keysymName);
    // A checked grab on the root; false if the server refused it.
    bool grab(xcb_keycode_t keycode, std::uint16_t modifiers);
    // Grabs every lock variant, keeps the ones it got; true only if it got them all.
    bool grabAllVariants(xcb_keycode_t keycode, std::uint16_t modifiers = 0);
    void ungrabAll();
    // Whether every lock variant of each of these keys could be grabbed; none stays grabbed.
    bool couldGrab(const std::vector<std::string>& keysymNames);

    // A mapped window of this client that holds the keyboard focus.
    void takeFocus();
    // The lock and modifier bits currently in effect on the keyboard.
    std::uint16_t modifierState();

    // Presses and releases a key code through XTEST, whatever keysym it has now.
    void press(xcb_keycode_t keycode);
    // A key code that carries no keysym on the keyboard now.
    xcb_keycode_t unusedKeycode();
    // Gives the key code this one keysym (0 for none), as xmodmap would.
    void setKeysym(xcb_keycode_t keycode, std::uint32_t keysym);

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    xcb_window_t m_window = 0;
    std::vector<std::pair<xcb_keycode_t, std::uint16_t>> m_grabs;
};
