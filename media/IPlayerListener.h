#pragma once

#include "IListenedPlayer.h"

// What a player announces of what it does. A player knows only its listener and tells it
// everything below; what follows from it for other players is the listener's business. The
// listener outlives the players that announce to it.
class IPlayerListener {
public:
    virtual ~IPlayerListener() = default;
    // The player was told to play.
    virtual void startRequested(IListenedPlayer& player) = 0;
    // It no longer means to start: paused, stopped, given another file, gone.
    virtual void startWithdrawn(IListenedPlayer& player) = 0;
    // It begins a seek (announced before the seek is sent).
    virtual void seekBegan(IListenedPlayer& player) = 0;
    // A seek landed or was given up, or the player may be ready to start now.
    virtual void seekLanded(IListenedPlayer& player) = 0;
    // It has no picture to hold any more: emptied, its window closing, gone.
    virtual void emptied(IListenedPlayer& player) = 0;
};
