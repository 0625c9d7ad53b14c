#pragma once

#include <QCoreApplication>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>

#include "FakeFileDialog.h"
#include "FakeMessageBox.h"
#include "MpvPlayer.h"
#include "ProcessSetup.h"
#include "ProgramWindow.h"
#include "RecordingPlayer.h"
#include "RunEvents.h"
#include "frm1.h"
#include "ui_frm1.h"

// The window as the program builds it (real players, real key grabs, the program's process-wide
// settings), with a file dialog that "chooses" what the benchmark says, messages recorded, and
// the players' calls logged.
class RecordedWindow {
public:
    CommandLog log;
    FakeFileDialog dialog;
    FakeMessageBox messages;

private:
    // What the program sets for the whole process comes before the first player.
    const bool m_processPrepared = (prepareProcessWithoutMain(), true);
    ProgramWindow m_program;

public:
    frm1* const window;

    RecordedWindow()
        : m_program({dialog, messages, KeySource::X11Grabs,
                     [this](std::unique_ptr<IMediaPlayer> player) -> std::unique_ptr<IMediaPlayer> {
                         return std::make_unique<RecordingPlayer>(std::move(player), log);
                     }}),
          window(m_program.window()) {
        window->show();
    }

    // Opens a file into side 1 or 2 through the window's own open command, running events
    // until the player has said whether it opened; false if refused.
    bool open(int side, const std::string& path) {
        const std::size_t before = messages.shown.size();
        dialog.nextChoice = path;
        side == 1 ? window->neu1_Click() : window->neu2_Click();
        const auto limit = MpvPlayer::kOpenTimeout + std::chrono::seconds(5);
        const bool ended =
            runEventsUntil([&] { return !window->opening(side); }, static_cast<int>(limit.count()));
        return ended && messages.shown.size() == before;
    }

    IMediaPlayer& player(int side) { return side == 1 ? *window->wmp1 : *window->wmp2; }
    Ui::frm1& ui() { return window->controls(); }
    double gapMs() {
        return std::fabs(player(1).currentPosition() - player(2).currentPosition()) * 1000.0;
    }
};
