#pragma once

#include <string>
#include <vector>

#include "IMessageBox.h"

// Records every message instead of showing it; show() returns at once, as if OK was clicked.
class FakeMessageBox : public IMessageBox {
public:
    std::vector<std::string> shown;
    void show(const std::string& text) override { shown.push_back(text); }
};
