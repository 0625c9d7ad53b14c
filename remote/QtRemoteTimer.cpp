#include "QtRemoteTimer.h"

#include <QMetaObject>
#include <QTimer>

void QtRemoteTimer::after(std::chrono::milliseconds delay, std::function<void()> work) {
    // Posting is safe from any thread; a timer is made on the calling thread's loop.
    if (delay.count() <= 0) {
        QMetaObject::invokeMethod(&m_context, std::move(work), Qt::QueuedConnection);
        return;
    }
    QTimer::singleShot(delay, &m_context, std::move(work));
}
