#include "WindowDestroyWatcher.h"

#include <QPlatformSurfaceEvent>
#include <QWindow>

WindowDestroyWatcher::WindowDestroyWatcher(QWindow& window, HWND hwnd,
                                           std::function<void(HWND)> onDestroy)
    : QObject(&window), m_hwnd(hwnd), m_onDestroy(std::move(onDestroy)) {
    window.installEventFilter(this);
    // destroyed() comes after the surface event in a normal teardown; it only matters for a
    // window deleted without ever reaching that event.
    connect(&window, &QObject::destroyed, this, [this] { fire(); });
}

bool WindowDestroyWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::PlatformSurface &&
        static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
            QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed) {
        fire();
    }
    return QObject::eventFilter(watched, event);
}

void WindowDestroyWatcher::fire() {
    if (m_fired)
        return;
    m_fired = true;
    m_onDestroy(m_hwnd);
}
