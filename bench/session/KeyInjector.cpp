#include "KeyInjector.h"

#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <cstdlib>
#include <stdexcept>

KeyInjector::KeyInjector() : m_connection(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(m_connection))
        throw std::runtime_error("no X display");
}

KeyInjector::~KeyInjector() {
    xcb_disconnect(m_connection);
}

xcb_keycode_t KeyInjector::keycode(std::uint32_t keysym) {
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(m_connection);
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
    const xcb_keycode_t code = codes ? codes[0] : 0;
    std::free(codes);
    xcb_key_symbols_free(symbols);
    if (code == 0)
        throw std::runtime_error("no key code for a keysym the benchmark presses");
    return code;
}

void KeyInjector::fake(std::uint8_t type, xcb_keycode_t keycode) {
    xcb_test_fake_input(m_connection, type, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(m_connection);
}

void KeyInjector::press(xcb_keycode_t keycode) {
    fake(XCB_KEY_PRESS, keycode);
}

void KeyInjector::release(xcb_keycode_t keycode) {
    fake(XCB_KEY_RELEASE, keycode);
}

bool KeyInjector::enableAutoRepeat() {
    const std::uint32_t on = XCB_AUTO_REPEAT_MODE_ON;
    const auto cookie =
        xcb_change_keyboard_control_checked(m_connection, XCB_KB_AUTO_REPEAT_MODE, &on);
    xcb_generic_error_t* error = xcb_request_check(m_connection, cookie);
    std::free(error);
    return error == nullptr;
}
