#include "WindowLookup.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

QWindow* findWindow(HWND hwnd) {
    if (hwnd == 0 || qGuiApp == nullptr)
        return nullptr;
    for (QWindow* window : QGuiApplication::allWindows()) {
        if (window->handle() != nullptr && window->winId() == hwnd)
            return window;
    }
    return nullptr;
}

QWidget* findWidget(HWND hwnd) {
    return hwnd == 0 ? nullptr : QWidget::find(static_cast<WId>(hwnd));
}
