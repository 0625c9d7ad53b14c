#pragma once

#include <chrono>

// What a player's listener may ask of the player: whether it can start at once, to start, and
// how its picture stands. The player answers for itself alone.
class IListenedPlayer {
public:
    virtual ~IListenedPlayer() = default;
    // A file is open and set up, and no seek is pending.
    virtual bool readyToStart() const = 0;
    // Starts playing if the player still means to play.
    virtual void startNow() = 0;
    // A seek asked for has not landed yet.
    virtual bool seeking() const = 0;
    // How long after its landing its picture reaches the screen, at most.
    virtual std::chrono::milliseconds pictureDelay() const = 0;
    // The screen keeps what it shows until releasePicture().
    virtual void holdPicture() = 0;
    virtual void releasePicture() = 0;
};
