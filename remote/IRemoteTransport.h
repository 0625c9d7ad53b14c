#pragma once

#include <string>

// What the remote may do with the window: the three transport commands, each going through
// the window's own hot-key entry (restore first, nothing unless both players hold a file), the
// speed, and what player 1 is doing.
class IRemoteTransport {
public:
    enum class State { Stopped, Paused, Playing };

    // The speeds both players take, the pitch kept.
    static constexpr double kSlowest = 0.5;
    static constexpr double kFastest = 2.0;
    // Written so that NaN is out of range too.
    static bool speedInRange(double speed) { return speed >= kSlowest && speed <= kFastest; }

    virtual ~IRemoteTransport() = default;

    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void back() = 0;
    // Player 1's position onto the clipboard; the window stays as it is.
    virtual void copyTime() = 0;
    // Files into player 1 and player 2 (absolute paths; an empty one leaves its side alone), as
    // the window's open commands open a file chosen in the dialog.
    virtual void open(const std::string& file1, const std::string& file2) = 0;

    // The speed of both players: one within kSlowest..kFastest (to its nearest step), or a step
    // slower or faster, as the window's own speed buttons change it.
    virtual void setSpeed(double speed) = 0;
    virtual void slower() = 0;
    virtual void faster() = 0;

    // Stopped while player 1 holds no file.
    virtual State state() = 0;
    // Player 1's position in seconds.
    virtual double position() = 0;
    // Player 1's file, empty while it holds none.
    virtual std::string file() = 0;
    virtual double speed() = 0;
};
