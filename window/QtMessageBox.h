#pragma once

#include <QPointer>
#include <QWidget>

#include "IMessageBox.h"

// The window's messages as a modal Qt message box over the given parent.
class QtMessageBox : public IMessageBox {
public:
    explicit QtMessageBox(QWidget* parent = nullptr) : m_parent(parent) {}

    // The window is created after its services; app/ hands it over once it exists.
    void setParent(QWidget* parent) { m_parent = parent; }

    void show(const std::string& text) override;

private:
    QPointer<QWidget> m_parent;
};
