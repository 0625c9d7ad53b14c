#pragma once

#include <QObject>
#include <functional>

#include "WindowHandle.h"

class QWindow;

// Tells once that a native window is going away: when its surface is about to be destroyed
// or, failing that, when its QWindow is deleted. Lives as a child of the watched window.
class WindowDestroyWatcher : public QObject {
    Q_OBJECT
public:
    WindowDestroyWatcher(QWindow& window, HWND hwnd, std::function<void(HWND)> onDestroy);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fire();

    HWND m_hwnd;
    std::function<void(HWND)> m_onDestroy;
    bool m_fired = false;
};
