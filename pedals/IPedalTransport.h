#pragma once

// What the pedals do with the players. app/ sends each through the window's own entry, as the
// hot keys do: the window comes back if minimised, and nothing happens unless both players
// hold a file.
class IPedalTransport {
public:
    virtual ~IPedalTransport() = default;

    virtual void play() = 0;     // as F3
    virtual void pause() = 0;    // as F2
    virtual void back() = 0;     // as F1, one second back
    virtual void forward() = 0;  // as the window's short fast-forward, 2 s
    virtual bool playing() = 0;  // whether the players play now
};
