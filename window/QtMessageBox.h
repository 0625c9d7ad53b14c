#pragma once

#include <QPointer>
#include <QWidget>
#include <set>
#include <string>

#include "IMessageBox.h"

// The window's messages as a modal Qt message box over the given parent. A message that is
// already on screen is not shown a second time over it: a burst of failing commands (remote
// calls, a held key) would otherwise stack one box per call.
class QtMessageBox : public IMessageBox {
public:
    explicit QtMessageBox(QWidget* parent = nullptr) : m_parent(parent) {}

    // The window is created after its services; app/ hands it over once it exists.
    void setParent(QWidget* parent) { m_parent = parent; }

    void show(const std::string& text) override;

private:
    QPointer<QWidget> m_parent;
    std::set<std::string> m_onScreen;
};
