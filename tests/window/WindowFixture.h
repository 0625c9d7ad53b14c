#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QLocale>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "FakeFileDialog.h"
#include "FakeHotKeyPlatform.h"
#include "FakeMessageBox.h"
#include "FakeMessageHook.h"
#include "FakePlayer.h"
#include "NamedCases.h"
#include "frm1.h"
#include "ui_frm1.h"

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
        auto makePlayer = [this](QWidget*) {
            const bool first = p1 == nullptr;
            auto player = std::make_unique<FakePlayer>(first ? "wmp1" : "wmp2", players);
            (first ? p1 : p2) = player.get();
            return player;
        };
        window = std::make_unique<frm1>(frm1Services{makePlayer, dialog, messages, platform, hook});
    }

    // Tests try a decimal comma through the default locale; the program's own comes back after.
    void TearDown() override { QLocale::setDefault(m_locale); }

    Ui::frm1& ui() { return window->controls(); }
    HWND hwnd() { return static_cast<HWND>(window->winId()); }
    static std::string text(const QLineEdit* field) { return field->text().toStdString(); }
    // Whether the players were asked for `call` since the log was last cleared.
    bool called(const std::string& call) const {
        return std::find(players.calls.begin(), players.calls.end(), call) != players.calls.end();
    }
    // Both sides holding `file`, each opened through its command and told open by its player.
    void holdBoth(const std::string& file) {
        dialog.nextChoice = file;
        window->neu1_Click();
        window->neu2_Click();
        p1->opened();
        p2->opened();
    }
    // Where the players stand and whether each plays when a command starts.
    void stand(double position1, bool playing1, double position2, bool playing2) {
        p1->position = position1;
        p1->playing = playing1;
        p2->position = position2;
        p2->playing = playing2;
    }

private:
    QLocale m_locale;
};

template <typename Param>
class WindowCases : public WindowFixture, public ::testing::WithParamInterface<Param> {};

// The first `count` entries of a call list.
inline std::vector<std::string> firstCalls(const std::vector<std::string>& calls,
                                           std::size_t count) {
    return {calls.begin(), calls.begin() + static_cast<std::ptrdiff_t>(count)};
}
