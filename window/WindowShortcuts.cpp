#include "WindowShortcuts.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

WindowShortcuts::WindowShortcuts(QWidget& window, QList<QAction*> actions)
    : QObject(&window), m_window(window), m_actions(std::move(actions)) {
    // On the application: the focus may be in any widget of the window, players included.
    qApp->installEventFilter(this);
}

bool WindowShortcuts::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType())
        return false;
    if (static_cast<QWidget*>(watched)->window() != &m_window)
        return false;
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    for (const QAction* action : m_actions) {
        if (action->isEnabled() && action->shortcut() == pressed) {
            // Left unaccepted, the key goes on to the window's shortcuts.
            event->ignore();
            return true;
        }
    }
    return false;
}
