#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

// Raised by a player operation that fails: no file, a file the player refuses, a backend error.
class PlayerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The operations the window drives on an embedded media player. Every operation may throw
// PlayerError. Positions are seconds; geometry is twips (15 to the pixel) in the window's
// client coordinates.
class IMediaPlayer {
public:
    // Its values are those callers have always compared with: 3 exactly while playing.
    enum PlayState : int { kStopped = 1, kPaused = 2, kPlaying = 3 };

    virtual ~IMediaPlayer() = default;

    // settings.autoStart: whether a file given through setURL starts playing at once.
    virtual void setAutoStart(bool autoStart) = 0;
    // URL: starts opening the file and returns at once; throws when the player can tell at
    // once that it refuses the file. How the open ends is told later (onOpenEnded).
    virtual void setURL(const std::string& path) = 0;

    // Told once for each open that setURL started, from the event loop (never from inside a
    // call on the player): with nullptr once the file is open, else with why the player refused
    // it, a timeout included. An open that a later setURL replaced, or that was under way when
    // the player closed with its window, is never told.
    using OpenEnded = std::function<void(const PlayerError* refusal)>;
    virtual void onOpenEnded(OpenEnded told) = 0;

    // Told from the event loop when the player gives up a file it had opened because the file
    // can no longer be played (libmpv gave it up, or its data ended well before its length: a
    // share that fails, a file cut short, data that is garbage). The player holds no file then,
    // as after a refused open.
    using FileLost = std::function<void(const PlayerError& why)>;
    virtual void onFileLost(FileLost told) = 0;

    // controls.play / controls.pause
    virtual void play() = 0;
    virtual void pause() = 0;
    // controls.currentPosition
    virtual double currentPosition() = 0;
    virtual void setCurrentPosition(double seconds) = 0;
    // Where the player is at this very moment, to compare two playing players by: finer than
    // currentPosition(), which stays on the picture on screen until the next one.
    virtual double positionNow() { return currentPosition(); }
    // What positionNow() moves with. The sound alone is right to a millisecond. Sound beside
    // moving pictures is right to a few: libmpv reports it between drawing them. A moving
    // picture's own position moves as the pictures are drawn, which a busy machine draws some
    // milliseconds early or late. Sound that PipeWire converts to a rate of its own reads up to
    // about 10 ms behind what is heard: libmpv's PipeWire output leaves the sound held in the
    // converter out of the delay it reports.
    enum class Reading { Sound, SoundBesidePictures, ConvertedSound, Pictures };
    virtual Reading positionNowFrom() { return Reading::Pictures; }

    // settings.rate: the speed of playing, 1 for normal.
    virtual void setRate(double rate) = 0;
    // The speed as last set, also while no file is open (the next file plays at it).
    virtual double currentRate() = 0;
    // Whether a speed other than 1 keeps the pitch (the user's slower or faster), or changes it
    // as a tape would: the small changes that keep two players together are not heard that
    // way, and keeping the pitch takes a filter that is put in and taken out as it changes.
    virtual void setKeepPitch(bool keep) = 0;

    // Stopped at the end (and back at the start), paused anywhere else, or playing.
    virtual PlayState playState() = 0;

    // Counts the times the player's sound came back after its sound server went away (and,
    // with two players, once both were back): what it plays then is heard from a queue filled
    // afresh, no longer with the other player's.
    virtual std::uint64_t soundReturns() { return 0; }

    virtual float Left() = 0;
    virtual void setLeft(float twips) = 0;
    virtual float Width() = 0;
    virtual void setWidth(float twips) = 0;
    virtual float Height() = 0;
    virtual void setHeight(float twips) = 0;
};
