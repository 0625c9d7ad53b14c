#pragma once

#include <QObject>
#include <QPointer>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "IMessageHook.h"
#include "MessageQueue.h"
#include "WindowDestroyWatcher.h"

// The process-wide message hook: hands chosen messages of our windows to ISubclass
// implementers, on the UI thread. The hot-key platforms feed it WM_HOTKEY; it raises WM_DESTROY
// itself when a hooked window's native window goes away.
class MessageHook : public IMessageHook {
public:
    static MessageHook& instance();

    // Throws std::invalid_argument for hwnd 0 or a window that is not one of ours.
    // Hooking the same triple again changes nothing.
    void HookMessage(ISubclass& subclass, HWND hWnd, std::int32_t msg) override;
    // Never throws: unhooking what is not hooked does nothing, so teardown cannot fail.
    void UnhookMessage(ISubclass& subclass, HWND hWnd, std::int32_t msg) override;

    // Calls WindowProc of every subclass hooked for msg of hwnd, in hook order; a subclass
    // unhooked by an earlier call is skipped. A WindowProc that throws only ends its own call.
    // Returns the number of calls made.
    std::size_t dispatch(HWND hwnd, std::int32_t msg, std::int32_t wParam, std::int32_t lParam);

    // Queues a dispatch for the event loop and returns at once, so a native event filter can
    // leave before any command runs. One message is delivered per pass of the loop, so clicks,
    // ticks and painting get their turn in between, and never while another posted message is
    // still being handled; a message equal to a waiting one (same window, number and wParam)
    // replaces it (see MessageQueue).
    void post(HWND hwnd, std::int32_t msg, std::int32_t wParam, std::int32_t lParam);
    // Messages posted and not yet delivered.
    std::size_t pending() const { return m_queue.size(); }

    bool isHooked(const ISubclass& subclass, HWND hwnd, std::int32_t msg) const;

    MessageHook() = default;
    ~MessageHook() override;
    MessageHook(const MessageHook&) = delete;
    MessageHook& operator=(const MessageHook&) = delete;

private:
    struct Hook {
        ISubclass* subclass;
        HWND hwnd;
        std::int32_t msg;
    };

    void windowDestroyed(HWND hwnd);
    void scheduleDelivery();
    void deliverOne();

    std::vector<Hook> m_hooks;
    std::map<HWND, QPointer<WindowDestroyWatcher>> m_watchers;
    MessageQueue m_queue;
    bool m_deliveryScheduled = false;
    bool m_delivering = false;
    // Queued deliveries are bound to it, so none runs after this hook is gone.
    QObject m_context;
};
