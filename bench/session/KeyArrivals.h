#pragma once

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <array>

// Counts the key presses that reach this process, per key code, auto-repeats included; it
// only looks, so the window's own filter still gets every event.
class KeyArrivals : public QAbstractNativeEventFilter {
public:
    KeyArrivals() { QCoreApplication::instance()->installNativeEventFilter(this); }
    ~KeyArrivals() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    int presses(xcb_keycode_t keycode) const { return m_presses[keycode]; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) == XCB_KEY_PRESS)
            ++m_presses[reinterpret_cast<const xcb_key_press_event_t*>(event)->detail];
        return false;
    }

private:
    std::array<int, 256> m_presses{};
};
