#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "FakeFileDialog.h"
#include "FakeMessageBox.h"
#include "MpvPlayer.h"
#include "ProcessSetup.h"
#include "ProgramWindow.h"
#include "RunEvents.h"
#include "frm1.h"
#include "ui_frm1.h"

// The window as the program builds it (real players, real key grabs, the process's message
// hook), except that the file dialog "chooses" what the test says and messages are recorded.
class RealWindow {
public:
    FakeFileDialog dialog;
    FakeMessageBox messages;

private:
    // What the program sets for the whole process comes before the first player.
    const bool m_processPrepared = (prepareProcessWithoutMain(), true);
    ProgramWindow m_program;

public:
    frm1* const window;

    // Without a shared start, each player starts on its own, as players did before the
    // window started them together (for comparison in the benchmark). Hot keys come from X11
    // grabs unless the test asks for the desktop's portal. A test may give the players a
    // shorter time to open a file, and wrap each player (to record its calls).
    using WrapPlayer = std::function<std::unique_ptr<IMediaPlayer>(std::unique_ptr<IMediaPlayer>)>;
    explicit RealWindow(bool sharedStart = true, KeySource keys = KeySource::X11Grabs,
                        std::chrono::milliseconds openTimeout = MpvPlayer::kOpenTimeout,
                        WrapPlayer wrapPlayer = {})
        : m_program({dialog, messages, keys, std::move(wrapPlayer), sharedStart, openTimeout}),
          window(m_program.window()) {
        window->show();
    }

    // Opens a file into side 1 or 2 through the window's own open command, and runs events
    // until the side's player has said whether the file opened (or a limit past the player's
    // own timeout has passed).
    void open(int side, const std::string& path) {
        startOpen(side, path);
        awaitOpen(side);
    }
    // Opens a file into each side; true once both hold theirs and nothing was said.
    bool openBoth(const std::string& file1, const std::string& file2) {
        open(1, file1);
        open(2, file2);
        return window->geladen1 && window->geladen2 && messages.shown.empty();
    }
    // The open command alone: it returns while the player may still be opening the file.
    void startOpen(int side, const std::string& path) {
        dialog.nextChoice = path;
        side == 1 ? window->neu1_Click() : window->neu2_Click();
    }
    // Runs events until the side's open has ended; false if it has not within the limit.
    bool awaitOpen(int side) {
        const auto limit = MpvPlayer::kOpenTimeout + std::chrono::seconds(5);
        return runEventsUntil([&] { return !window->opening(side); },
                              static_cast<int>(limit.count()));
    }

    IMediaPlayer& player(int side) { return side == 1 ? *window->wmp1 : *window->wmp2; }
    double position(int side) { return player(side).currentPosition(); }
    bool playing(int side) { return player(side).playState() == IMediaPlayer::kPlaying; }
    Ui::frm1& ui() { return window->controls(); }
};
