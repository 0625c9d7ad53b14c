#pragma once

#include <chrono>
#include <optional>

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

    // Where a file's sound starts after a seek. Sound alone starts where it is sent, or at the
    // file's first sound if sent before it. Beside moving pictures the sound starts at the
    // picture the seek lands on, up to a picture's time from where it was sent.
    virtual bool startsWherePictureLands() const { return false; }
    // How far from where it was sent its last seek landed (later is positive); empty until
    // that is known.
    virtual std::optional<double> landedOffBy() const { return 0.0; }
    // Moves a start asked for by `seconds` (another seek), still meaning to start.
    virtual void moveStartBy(double /*seconds*/) {}
};
