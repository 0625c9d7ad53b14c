#include "KeyGrabber.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

constexpr std::uint16_t kSignificant =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

}  // namespace

KeyGrabber::KeyGrabber(xcb_connection_t* connection, xcb_window_t root)
    : m_connection(connection), m_root(root), m_symbols(xcb_key_symbols_alloc(connection)) {
    readLockMasks();
}

KeyGrabber::~KeyGrabber() {
    xcb_key_symbols_free(m_symbols);
}

std::uint16_t KeyGrabber::modifierMask(std::int32_t hotKeyModifiers) {
    // Alt and Super sit on Mod1 and Mod4 in every common keyboard configuration.
    std::uint16_t mask = 0;
    if (hotKeyModifiers & 1)
        mask |= XCB_MOD_MASK_1;
    if (hotKeyModifiers & 2)
        mask |= XCB_MOD_MASK_CONTROL;
    if (hotKeyModifiers & 4)
        mask |= XCB_MOD_MASK_SHIFT;
    if (hotKeyModifiers & 8)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

std::uint16_t KeyGrabber::significantState(std::uint16_t state) {
    return state & kSignificant;
}

std::vector<xcb_keycode_t> KeyGrabber::keycodesFor(std::uint32_t keysym) const {
    std::vector<xcb_keycode_t> keycodes;
    XcbReply<xcb_keycode_t> list(xcb_key_symbols_get_keycode(m_symbols, keysym));
    for (const xcb_keycode_t* k = list.get(); k && *k != XCB_NO_SYMBOL; ++k) {
        if (std::find(keycodes.begin(), keycodes.end(), *k) == keycodes.end()) {
            keycodes.push_back(*k);
        }
    }
    return keycodes;
}

std::vector<std::uint16_t> KeyGrabber::lockVariants() const {
    std::vector<std::uint16_t> variants{0};
    for (const std::uint16_t lock :
         {std::uint16_t{XCB_MOD_MASK_LOCK}, m_numLockMask, m_scrollLockMask}) {
        // A lock on no modifier, or on one already covered, adds no variant.
        if (lock == 0 || std::find(variants.begin(), variants.end(), lock) != variants.end())
            continue;
        const std::size_t count = variants.size();
        for (std::size_t i = 0; i < count; ++i)
            variants.push_back(static_cast<std::uint16_t>(variants[i] | lock));
    }
    return variants;
}

PlatformError KeyGrabber::grab(const std::vector<xcb_keycode_t>& keycodes, std::uint16_t mask,
                               std::vector<Grab>& grabs) {
    // Issue every request before checking any, so the round trips overlap.
    std::vector<std::pair<Grab, xcb_void_cookie_t>> pending;
    for (const xcb_keycode_t keycode : keycodes) {
        for (const std::uint16_t lock : lockVariants()) {
            const Grab g{keycode, static_cast<std::uint16_t>(mask | lock)};
            // owner_events off: presses always arrive at the root, even over our own windows.
            pending.emplace_back(
                g, xcb_grab_key_checked(m_connection, 0, m_root, g.modifiers, g.keycode,
                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        }
    }
    std::vector<Grab> taken;
    PlatformError result = PlatformError::None;
    for (const auto& [g, cookie] : pending) {
        XcbReply<xcb_generic_error_t> error(xcb_request_check(m_connection, cookie));
        if (!error) {
            taken.push_back(g);
        } else if (result == PlatformError::None) {
            result = error->error_code == XCB_ACCESS ? PlatformError::KeyInUse
                                                     : PlatformError::GrabFailed;
        }
    }
    if (result != PlatformError::None) {
        // A lock variant may have been free while the plain key was taken: give it back.
        ungrab(taken);
        return result;
    }
    grabs.insert(grabs.end(), taken.begin(), taken.end());
    return PlatformError::None;
}

void KeyGrabber::ungrab(const std::vector<Grab>& grabs) {
    for (const Grab& g : grabs)
        xcb_ungrab_key(m_connection, g.keycode, m_root, g.modifiers);
    // Wait for the server to have done it, so another program may take the key right away.
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

void KeyGrabber::reloadKeyboard() {
    // The symbol table reads the mapping lazily; a fresh one sees whatever changed, also after
    // XKB notifications, which xcb_refresh_keyboard_mapping does not understand.
    xcb_key_symbols_free(m_symbols);
    m_symbols = xcb_key_symbols_alloc(m_connection);
    readLockMasks();
}

void KeyGrabber::readLockMasks() {
    m_numLockMask = 0;
    m_scrollLockMask = 0;
    XcbReply<xcb_get_modifier_mapping_reply_t> reply(xcb_get_modifier_mapping_reply(
        m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    if (!reply)
        return;
    m_numLockMask = modifierOf(XK_Num_Lock, *reply);
    m_scrollLockMask = modifierOf(XK_Scroll_Lock, *reply);
}

std::uint16_t KeyGrabber::modifierOf(std::uint32_t keysym,
                                     const xcb_get_modifier_mapping_reply_t& reply) {
    const std::vector<xcb_keycode_t> keycodes = keycodesFor(keysym);
    const xcb_keycode_t* map = xcb_get_modifier_mapping_keycodes(&reply);
    const int perModifier = reply.keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t k = map[modifier * perModifier + i];
            if (k != 0 && std::find(keycodes.begin(), keycodes.end(), k) != keycodes.end())
                return static_cast<std::uint16_t>(1u << modifier);
        }
    }
    return 0;
}
