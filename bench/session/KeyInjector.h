#pragma once

#include <xcb/xcb.h>

#include <cstdint>

// Presses keys as another program on the desktop would: XTEST requests on a connection of its
// own. Not thread-safe; use it from one thread at a time.
class KeyInjector {
public:
    static constexpr std::uint32_t kF1 = 0xffbe;
    static constexpr std::uint32_t kF2 = 0xffbf;
    static constexpr std::uint32_t kF3 = 0xffc0;

    KeyInjector();
    ~KeyInjector();
    KeyInjector(const KeyInjector&) = delete;
    KeyInjector& operator=(const KeyInjector&) = delete;

    xcb_keycode_t keycode(std::uint32_t keysym);
    void press(xcb_keycode_t keycode);
    void release(xcb_keycode_t keycode);
    // Turns the server's key auto-repeat on, as on a desktop; false if the server refused.
    bool enableAutoRepeat();

private:
    void fake(std::uint8_t type, xcb_keycode_t keycode);

    xcb_connection_t* m_connection;
};
