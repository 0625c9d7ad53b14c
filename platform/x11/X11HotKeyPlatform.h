#pragma once

#include <QAbstractNativeEventFilter>
#include <QTimer>
#include <memory>
#include <vector>

#include "HotKeyBook.h"
#include "IHotKeyPlatform.h"
#include "KeyGrabber.h"
#include "MessageHook.h"

// The hot-key platform on X11: grabs keys on Qt's own xcb connection, watches the presses in
// Qt's event stream and posts them to the message hook as WM_HOTKEY. The keys follow the
// keyboard: after a change of the key or modifier map every grab is taken again.
class X11HotKeyPlatform : public IHotKeyPlatform, public QAbstractNativeEventFilter {
public:
    // Needs a QGuiApplication on the xcb platform for key grabs; without one every
    // registration is refused.
    explicit X11HotKeyPlatform(MessageHook& messageHook = MessageHook::instance());
    ~X11HotKeyPlatform() override;
    X11HotKeyPlatform(const X11HotKeyPlatform&) = delete;
    X11HotKeyPlatform& operator=(const X11HotKeyPlatform&) = delete;

    std::string ExecutableName() override;
    std::uint32_t GetTickCount() override;
    std::uint16_t GlobalAddAtom(const std::string& s) override;
    void GlobalDeleteAtom(std::uint16_t atom) override;
    bool RegisterHotKey(HWND hwnd, std::int32_t id, std::int32_t modifiers,
                        std::int32_t virtualKey) override;
    void UnregisterHotKey(HWND hwnd, std::int32_t id) override;
    std::uint32_t GetLastError() override;
    std::size_t FormatMessage(std::uint32_t code, char* buffer, std::size_t size) override;
    bool IsIconic(HWND hwnd) override;
    void SendRestore(HWND hwnd) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Registration {
        HWND hwnd;
        std::int32_t id;
        std::int32_t virtualKey;
        std::int32_t modifiers;
        std::uint16_t mask;
        std::vector<KeyGrabber::Grab> grabs;
    };

    const Registration* registrationFor(xcb_keycode_t keycode, std::uint16_t state) const;
    bool isKeyboardChange(const xcb_generic_event_t& event) const;
    void grabAgain();

    MessageHook& m_hook;
    HotKeyBook m_book;
    std::unique_ptr<KeyGrabber> m_grabber;
    std::vector<Registration> m_registrations;
    // First event number of the XKB extension on Qt's connection; 0 without XKB.
    std::uint8_t m_xkbFirstEvent = 0;
    // A layout switch or a new keyboard sends several notifications in a row; one re-grab
    // after the last is enough.
    QTimer m_regrabTimer;
};
