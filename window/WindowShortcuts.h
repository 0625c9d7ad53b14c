#pragma once

#include <QList>
#include <QObject>

class QAction;
class QWidget;

// Keeps a window's menu shortcuts the window's, wherever in it the focus is: a text field
// claims keys such as Ctrl+E (end of line on X11) for itself before any shortcut is looked at;
// for the shortcuts given here that claim is turned down.
class WindowShortcuts : public QObject {
    Q_OBJECT
public:
    WindowShortcuts(QWidget& window, QList<QAction*> actions);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_window;
    QList<QAction*> m_actions;
};
