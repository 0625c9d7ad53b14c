#include "OtherClient.h"

#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>

namespace {

struct Free {
    void operator()(void* p) const { std::free(p); }
};

}  // namespace

OtherClient::OtherClient() : m_connection(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(m_connection))
        throw std::runtime_error("no X display");
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
}

OtherClient::~OtherClient() {
    xcb_disconnect(m_connection);
}

const std::vector<std::uint16_t>& OtherClient::lockVariants() {
    static const std::vector<std::uint16_t> variants{0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                                     XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
    return variants;
}

xcb_keycode_t OtherClient::keycode(const std::string& keysymName) {
    // Only the few keys the tests press.
    static const std::map<std::string, std::uint32_t> keysyms{
        {"F1", 0xffbe}, {"F2", 0xffbf}, {"F3", 0xffc0}, {"F5", 0xffc2}};
    const auto known = keysyms.find(keysymName);
    if (known == keysyms.end())
        throw std::invalid_argument("no keysym known for " + keysymName);
    const std::uint32_t keysym = known->second;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(m_connection);
    std::unique_ptr<xcb_keycode_t, Free> codes(xcb_key_symbols_get_keycode(symbols, keysym));
    xcb_key_symbols_free(symbols);
    if (!codes || *codes == XCB_NO_SYMBOL)
        throw std::runtime_error("no keycode for " + keysymName);
    return *codes;
}

bool OtherClient::grab(xcb_keycode_t keycode, std::uint16_t modifiers) {
    const auto cookie = xcb_grab_key_checked(m_connection, 0, m_root, modifiers, keycode,
                                             XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    std::unique_ptr<xcb_generic_error_t, Free> error(xcb_request_check(m_connection, cookie));
    if (error)
        return false;
    m_grabs.emplace_back(keycode, modifiers);
    return true;
}

bool OtherClient::grabAllVariants(xcb_keycode_t keycode, std::uint16_t modifiers) {
    bool all = true;
    for (const std::uint16_t lock : lockVariants()) {
        all = grab(keycode, static_cast<std::uint16_t>(modifiers | lock)) && all;
    }
    return all;
}

void OtherClient::ungrabAll() {
    for (const auto& [keycode, modifiers] : m_grabs) {
        xcb_ungrab_key(m_connection, keycode, m_root, modifiers);
    }
    m_grabs.clear();
    free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

bool OtherClient::couldGrab(const std::vector<std::string>& keysymNames) {
    bool all = true;
    for (const std::string& name : keysymNames)
        all = grabAllVariants(keycode(name)) && all;
    ungrabAll();
    return all;
}

void OtherClient::takeFocus() {
    if (m_window == 0) {
        m_window = xcb_generate_id(m_connection);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, m_root, 600, 600, 200, 100,
                          0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_map_window(m_connection, m_window);
    }
    xcb_set_input_focus(m_connection, XCB_INPUT_FOCUS_POINTER_ROOT, m_window, XCB_CURRENT_TIME);
    // A round trip, so the focus is in place before anyone presses a key.
    free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

std::uint16_t OtherClient::modifierState() {
    std::unique_ptr<xcb_query_pointer_reply_t, Free> reply(
        xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, m_root), nullptr));
    return reply ? reply->mask : 0;
}

void OtherClient::press(xcb_keycode_t keycode) {
    for (const std::uint8_t type : {std::uint8_t{XCB_KEY_PRESS}, std::uint8_t{XCB_KEY_RELEASE}}) {
        xcb_test_fake_input(m_connection, type, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    }
    free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

xcb_keycode_t OtherClient::unusedKeycode() {
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    const auto count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
    std::unique_ptr<xcb_get_keyboard_mapping_reply_t, Free> map(xcb_get_keyboard_mapping_reply(
        m_connection, xcb_get_keyboard_mapping(m_connection, setup->min_keycode, count), nullptr));
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(map.get());
    const int perKeycode = map->keysyms_per_keycode;
    // From the top: low codes are the real keys of a keyboard.
    for (int i = count - 1; i >= 0; --i) {
        bool empty = true;
        for (int j = 0; j < perKeycode; ++j)
            empty = empty && keysyms[i * perKeycode + j] == 0;
        if (empty)
            return static_cast<xcb_keycode_t>(setup->min_keycode + i);
    }
    throw std::runtime_error("every key code carries a keysym");
}

void OtherClient::setKeysym(xcb_keycode_t keycode, std::uint32_t keysym) {
    xcb_change_keyboard_mapping(m_connection, 1, keycode, 1, &keysym);
    free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}
