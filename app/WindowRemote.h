#pragma once

#include <QDBusConnection>
#include <QObject>

#include "QtRemoteTimer.h"
#include "RemoteThread.h"
#include "TransportRelay.h"
#include "WindowTransport.h"
#include "frm1.h"

// The window's remote: the command remote and the media player on the session bus, answered on
// a thread of their own, steering the window through its hot-key entry. A child of the window,
// so both go together; the thread ends first, then what it used.
class WindowRemote : public QObject {
public:
    explicit WindowRemote(frm1& window)
        : QObject(&window), m_transport(window), m_relay(m_transport, m_timer), m_thread(m_relay) {}

    void publish(QDBusConnection bus) { m_thread.publish(bus); }

private:
    WindowTransport m_transport;
    QtRemoteTimer m_timer;
    TransportRelay m_relay;
    RemoteThread m_thread;
};
