#pragma once

#include <string>

// The window's message box: modal, the text, a single OK, no icon, caption "Pellucor".
// show() returns when the user has clicked OK.
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual void show(const std::string& text) = 0;
};
