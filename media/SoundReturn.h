#pragma once

#include <QObject>
#include <functional>
#include <string>

class MpvCore;
class SoundServerWatch;

// Brings a player's sound back with its sound server. libmpv, losing the server it plays
// through (killed, restarted, a headset switched), goes on through its silent null output and
// stays there; so does a player started before any server was up. Once a server takes
// connections again, every such player opens its output again (a few tries, for a server that
// takes connections a moment before it takes sound). Each stream then starts when its output
// happens to open, tens of milliseconds apart: once all are back, the owner is told, to start
// the players again together.
class SoundReturn : public QObject {
    Q_OBJECT
public:
    // back: told once every player's sound is back, so that the players can start again
    // together.
    SoundReturn(MpvCore& core, SoundServerWatch& watch, std::function<void()> back);
    ~SoundReturn() override;

    static constexpr int kTries = 6;

private:
    void onOutputChanged();
    void onServerReachable();
    void stopWaiting(bool soundBack = false);

    MpvCore& m_core;
    SoundServerWatch& m_watch;
    std::function<void()> m_restart;
    bool m_back = false;         // back, and not yet started again
    std::string m_heardThrough;  // the last output that was not the null one
    bool m_waiting = false;
    bool m_reloading = false;
    int m_triesLeft = 0;
};
