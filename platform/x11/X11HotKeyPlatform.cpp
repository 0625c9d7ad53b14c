#include "X11HotKeyPlatform.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "ExecutableName.h"
#include "KeyMap.h"
#include "MessageHook.h"
#include "WindowLookup.h"
#include "X11Log.h"

namespace {

constexpr std::int32_t kKnownModifiers = 1 | 2 | 4 | 8;
constexpr int kRegrabDelayMs = 50;

// XKB notification types (the byte after the response type) that change which key is where.
constexpr std::uint8_t kXkbNewKeyboardNotify = 0;
constexpr std::uint8_t kXkbMapNotify = 1;

std::uint8_t xkbFirstEvent(xcb_connection_t* connection) {
    const char name[] = "XKEYBOARD";
    std::unique_ptr<xcb_query_extension_reply_t, decltype(&std::free)> reply(
        xcb_query_extension_reply(connection,
                                  xcb_query_extension(connection, sizeof name - 1, name), nullptr),
        &std::free);
    return reply && reply->present ? reply->first_event : 0;
}

}  // namespace

X11HotKeyPlatform::X11HotKeyPlatform(MessageHook& messageHook) : m_hook(messageHook) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr)
        return;
    xcb_connection_t* connection = x11->connection();
    const xcb_setup_t* setup = xcb_get_setup(connection);
    // Qt opens the default screen; its root is the one our windows live on.
    const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    m_grabber = std::make_unique<KeyGrabber>(connection, screen->root);
    // Qt's keyboard handling already selects XKB's keyboard and map notifications on this
    // connection; they pass our filter like every other event.
    m_xkbFirstEvent = xkbFirstEvent(connection);
    m_regrabTimer.setSingleShot(true);
    m_regrabTimer.setInterval(kRegrabDelayMs);
    QObject::connect(&m_regrabTimer, &QTimer::timeout, &m_regrabTimer, [this] { grabAgain(); });
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotKeyPlatform::~X11HotKeyPlatform() {
    if (!m_grabber)
        return;
    for (const Registration& r : m_registrations)
        m_grabber->ungrab(r.grabs);
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

std::string X11HotKeyPlatform::ExecutableName() {
    return runningExecutableName();
}

std::uint32_t X11HotKeyPlatform::GetTickCount() {
    const auto sinceBoot = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceBoot).count();
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms));
}

std::uint16_t X11HotKeyPlatform::GlobalAddAtom(const std::string& s) {
    return m_book.addAtom(s);
}

void X11HotKeyPlatform::GlobalDeleteAtom(std::uint16_t atom) {
    m_book.deleteAtom(atom);
}

bool X11HotKeyPlatform::RegisterHotKey(HWND hwnd, std::int32_t id, std::int32_t modifiers,
                                       std::int32_t virtualKey) {
    if (!m_grabber)
        return m_book.fail(PlatformError::NoDisplay);
    if ((modifiers & ~kKnownModifiers) != 0)
        return m_book.fail(PlatformError::BadModifiers);
    const auto keysym = keysymForVirtualKey(virtualKey);
    if (!keysym)
        return m_book.fail(PlatformError::UnknownKeyCode);
    const std::vector<xcb_keycode_t> keycodes = m_grabber->keycodesFor(*keysym);
    if (keycodes.empty())
        return m_book.fail(PlatformError::KeyNotOnKeyboard);
    // Checked here too because the server lets a client grab its own combination twice.
    if (!m_book.admits(m_registrations, hwnd, id, modifiers, virtualKey))
        return false;
    Registration r{hwnd, id, virtualKey, modifiers, KeyGrabber::modifierMask(modifiers), {}};
    const PlatformError error = m_grabber->grab(keycodes, r.mask, r.grabs);
    if (error != PlatformError::None)
        return m_book.fail(error);
    m_registrations.push_back(std::move(r));
    return true;
}

void X11HotKeyPlatform::UnregisterHotKey(HWND hwnd, std::int32_t id) {
    const auto it = m_book.find(m_registrations, hwnd, id);
    if (it == m_registrations.end())
        return;
    m_grabber->ungrab(it->grabs);
    m_registrations.erase(it);
}

std::uint32_t X11HotKeyPlatform::GetLastError() {
    return m_book.lastError();
}

std::size_t X11HotKeyPlatform::FormatMessage(std::uint32_t errorCode, char* buffer,
                                             std::size_t size) {
    return HotKeyBook::formatMessage(errorCode, buffer, size);
}

bool X11HotKeyPlatform::IsIconic(HWND hwnd) {
    if (QWidget* widget = findWidget(hwnd))
        return widget->isMinimized();
    QWindow* window = findWindow(hwnd);
    return window != nullptr && (window->windowStates() & Qt::WindowMinimized);
}

void X11HotKeyPlatform::SendRestore(HWND hwnd) {
    QWidget* widget = findWidget(hwnd);
    QWindow* window = widget ? widget->windowHandle() : findWindow(hwnd);
    if (window == nullptr) {
        qCWarning(lcX11) << "cannot restore window" << hwnd << ": not a window of this program";
        return;
    }
    // Only the minimised flag goes: a window that was maximised comes back maximised. Qt's
    // state changes at once; the window manager maps the window in its own time, and nothing
    // here waits for it, so no other event runs inside the hot key's command. Nothing takes the
    // focus: the user keeps typing where they were; what the window manager does on a restore
    // is its own affair.
    if (widget) {
        widget->setWindowState(widget->windowState() & ~Qt::WindowMinimized);
        widget->show();
    } else {
        window->setWindowStates(window->windowStates() & ~Qt::WindowMinimized);
        window->show();
    }
}

const X11HotKeyPlatform::Registration* X11HotKeyPlatform::registrationFor(
    xcb_keycode_t keycode, std::uint16_t state) const {
    const std::uint16_t significant = KeyGrabber::significantState(state);
    for (const Registration& r : m_registrations) {
        if (r.mask != significant)
            continue;
        for (const KeyGrabber::Grab& g : r.grabs) {
            if (g.keycode == keycode)
                return &r;
        }
    }
    return nullptr;
}

bool X11HotKeyPlatform::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    const auto type = event->response_type & ~0x80;
    if (isKeyboardChange(*event)) {
        // Qt needs these events too; we only take our keys again, once the changes settle.
        m_regrabTimer.start();
        return false;
    }
    if (type != XCB_KEY_PRESS)
        return false;
    auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
    if (press->event != m_grabber->root())
        return false;
    const Registration* r = registrationFor(press->detail, press->state);
    if (r == nullptr)
        return false;
    // Leave the filter at once: the command runs from the event loop.
    m_hook.post(r->hwnd, WM_HOTKEY, r->id, hotKeyLParam(r->virtualKey, r->modifiers));
    return true;
}

bool X11HotKeyPlatform::isKeyboardChange(const xcb_generic_event_t& event) const {
    const auto type = event.response_type & ~0x80;
    if (type == XCB_MAPPING_NOTIFY) {
        const auto& mapping = reinterpret_cast<const xcb_mapping_notify_event_t&>(event);
        return mapping.request != XCB_MAPPING_POINTER;
    }
    if (m_xkbFirstEvent == 0 || type != m_xkbFirstEvent)
        return false;
    // All XKB events share one event number; the second byte tells which one it is.
    const auto xkbType = reinterpret_cast<const std::uint8_t*>(&event)[1];
    return xkbType == kXkbNewKeyboardNotify || xkbType == kXkbMapNotify;
}

void X11HotKeyPlatform::grabAgain() {
    m_grabber->reloadKeyboard();
    // Everything goes first, so keys that swapped places do not stand in each other's way.
    for (Registration& r : m_registrations) {
        m_grabber->ungrab(r.grabs);
        r.grabs.clear();
    }
    for (Registration& r : m_registrations) {
        const auto keysym = keysymForVirtualKey(r.virtualKey);
        const std::vector<xcb_keycode_t> keycodes =
            keysym ? m_grabber->keycodesFor(*keysym) : std::vector<xcb_keycode_t>{};
        if (keycodes.empty()) {
            qCWarning(lcX11) << "hot key" << r.virtualKey
                             << "is no longer on the keyboard; it stays registered but inactive";
            continue;
        }
        const PlatformError error = m_grabber->grab(keycodes, r.mask, r.grabs);
        if (error != PlatformError::None) {
            const std::string_view text = platformErrorText(code(error));
            qCWarning(lcX11) << "taking hot key" << r.virtualKey << "again after a keyboard change"
                             << "failed:"
                             << QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        }
    }
}
