#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "FakeFileDialog.h"
#include "FakeHotKeyPlatform.h"
#include "FakeMessageBox.h"
#include "FakeMessageHook.h"
#include "FakePlayer.h"
#include "frm1.h"
#include "ui_frm1.h"

namespace {
// Parameterised cases print as their names, never as raw bytes.
template <typename Case>
requires requires(const Case& c, std::ostream& os) {
    os << c.name;
}
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}
}  // namespace

// An frm1 on fakes: two FakePlayers on one shared call log, a fake dialog and message box,
// and a fake hot-key platform and message hook. The window is built but not loaded.
class WindowFixture : public ::testing::Test {
protected:
    PlayerCallLog players;
    FakeFileDialog dialog;
    FakeMessageBox messages;
    HotKeyCallLog hotKeyCalls;
    FakeHotKeyPlatform platform{hotKeyCalls};
    FakeMessageHook hook{hotKeyCalls};
    FakePlayer* p1 = nullptr;
    FakePlayer* p2 = nullptr;
    std::unique_ptr<frm1> window;

    void SetUp() override {
        auto makePlayer = [this](QWidget* host) {
            const bool first = p1 == nullptr;
            auto player = std::make_unique<FakePlayer>(first ? "wmp1" : "wmp2", players, host);
            (first ? p1 : p2) = player.get();
            return player;
        };
        window = std::make_unique<frm1>(frm1Services{makePlayer, dialog, messages, platform, hook});
    }

    Ui::frm1& ui() { return window->controls(); }
    HWND hwnd() { return static_cast<HWND>(window->winId()); }
};
