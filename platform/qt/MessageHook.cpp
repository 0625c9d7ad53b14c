#include "MessageHook.h"

#include <QWindow>
#include <algorithm>
#include <stdexcept>
#include <string>

#include "QtWindowLog.h"
#include "WindowLookup.h"

MessageHook& MessageHook::instance() {
    // Never destroyed: windows may still go away, and report it, during static teardown.
    static MessageHook* const hook = new MessageHook;
    return *hook;
}

MessageHook::~MessageHook() {
    for (auto& [hwnd, watcher] : m_watchers)
        delete watcher.data();
}

void MessageHook::HookMessage(ISubclass& subclass, HWND hWnd, std::int32_t msg) {
    if (hWnd == 0)
        throw std::invalid_argument("MessageHook: cannot hook messages of window 0");
    QWindow* window = findWindow(hWnd);
    if (window == nullptr) {
        throw std::invalid_argument("MessageHook: window " + std::to_string(hWnd) +
                                    " is not a window of this program");
    }
    if (isHooked(subclass, hWnd, msg))
        return;
    auto& watcher = m_watchers[hWnd];
    if (watcher.isNull()) {
        watcher = new WindowDestroyWatcher(*window, hWnd, [this](HWND h) { windowDestroyed(h); });
    }
    m_hooks.push_back({&subclass, hWnd, msg});
}

void MessageHook::UnhookMessage(ISubclass& subclass, HWND hWnd, std::int32_t msg) {
    std::erase_if(m_hooks, [&](const Hook& h) {
        return h.subclass == &subclass && h.hwnd == hWnd && h.msg == msg;
    });
}

bool MessageHook::isHooked(const ISubclass& subclass, HWND hwnd, std::int32_t msg) const {
    return std::any_of(m_hooks.begin(), m_hooks.end(), [&](const Hook& h) {
        return h.subclass == &subclass && h.hwnd == hwnd && h.msg == msg;
    });
}

std::size_t MessageHook::dispatch(HWND hwnd, std::int32_t msg, std::int32_t wParam,
                                  std::int32_t lParam) {
    std::vector<ISubclass*> targets;
    for (const Hook& h : m_hooks) {
        if (h.hwnd == hwnd && h.msg == msg)
            targets.push_back(h.subclass);
    }
    std::size_t calls = 0;
    for (ISubclass* subclass : targets) {
        // Hooks change while we deliver: the registry unhooks WM_DESTROY inside its own call.
        if (!isHooked(*subclass, hwnd, msg))
            continue;
        ++calls;
        try {
            subclass->WindowProc(hwnd, msg, wParam, lParam);
        } catch (const std::exception& e) {
            // The failure is the message's result; it must not unwind through the event loop.
            qCWarning(lcQtWindow) << "handling message" << msg << "of window" << hwnd
                                  << "failed:" << e.what();
        } catch (...) {
            qCWarning(lcQtWindow) << "handling message" << msg << "of window" << hwnd
                                  << "failed with an unknown error";
        }
    }
    return calls;
}

void MessageHook::post(HWND hwnd, std::int32_t msg, std::int32_t wParam, std::int32_t lParam) {
    m_queue.push({hwnd, msg, wParam, lParam});
    scheduleDelivery();
}

void MessageHook::scheduleDelivery() {
    if (m_deliveryScheduled || m_queue.size() == 0)
        return;
    m_deliveryScheduled = true;
    QMetaObject::invokeMethod(
        &m_context, [this] { deliverOne(); }, Qt::QueuedConnection);
}

void MessageHook::deliverOne() {
    m_deliveryScheduled = false;
    // A handler that opens a message box runs a local event loop; what was pressed meanwhile
    // waits until that handler is done, then comes in the order pressed.
    if (m_delivering)
        return;
    const auto message = m_queue.pop();
    if (!message)
        return;
    m_delivering = true;
    dispatch(message->hwnd, message->msg, message->wParam, message->lParam);
    m_delivering = false;
    // Scheduled after the handler, so whatever it posted itself runs before the next message.
    scheduleDelivery();
}

void MessageHook::windowDestroyed(HWND hwnd) {
    dispatch(hwnd, WM_DESTROY, 0, 0);
    // The id may be given to a new window later; nothing may stay attached to it.
    std::erase_if(m_hooks, [hwnd](const Hook& h) { return h.hwnd == hwnd; });
    m_watchers.erase(hwnd);
}
