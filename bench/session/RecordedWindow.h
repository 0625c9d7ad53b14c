#pragma once

#include <cmath>
#include <memory>
#include <string>

#include "RealWindow.h"
#include "RecordingPlayer.h"

// The log comes first, so that it is there when the window wraps its players.
struct CallLogFirst {
    CommandLog log;
};

// The window as the program builds it (real players, real key grabs, the program's process-wide
// settings), with a file dialog that "chooses" what the benchmark says, messages recorded, and
// the players' calls logged.
class RecordedWindow : private CallLogFirst, public RealWindow {
public:
    using CallLogFirst::log;

    RecordedWindow()
        : RealWindow(true, KeySource::X11Grabs, MpvPlayer::kOpenTimeout,
                     [this](std::unique_ptr<IMediaPlayer> player) -> std::unique_ptr<IMediaPlayer> {
                         return std::make_unique<RecordingPlayer>(std::move(player), log);
                     }) {}

    // Opens a file into side 1 or 2 through the window's own open command, running events
    // until the player has said whether it opened; false if refused.
    bool open(int side, const std::string& path) {
        const std::size_t before = messages.shown.size();
        startOpen(side, path);
        return awaitOpen(side) && messages.shown.size() == before;
    }

    double gapMs() {
        return std::fabs(player(1).currentPosition() - player(2).currentPosition()) * 1000.0;
    }
};
