#pragma once

#include <QObject>
#include <QProcessEnvironment>
#include <QTimer>
#include <functional>
#include <set>
#include <string>
#include <vector>

// Tells the players whose sound has nowhere to go when a sound server can be reached: looks
// twice a second, while anyone waits, whether a server takes connections on its socket. A look
// only connects and hangs up at once, so it never waits for the server.
class SoundServerWatch : public QObject {
    Q_OBJECT
public:
    using Probe = std::function<bool()>;

    // The process's watch, probing the servers the environment names at each look.
    static SoundServerWatch& instance();
    explicit SoundServerWatch(Probe reachable);

    // False where no server could be found to look at (no runtime folder): then nobody waits.
    bool canLook() const;
    bool reachable() const { return m_probe(); }
    void wait(const QObject* who);
    // who's sound is back, or it waits no longer (gone, or given up).
    void release(const QObject* who, bool soundBack = false);
    // One look; the timer makes one twice a second while anyone waits.
    void look();

    static constexpr int kLookMs = 500;

signals:
    // A server takes connections; sent at every look until nobody waits.
    void serverReachable();
    // The sound of everyone who waited is back (or they gave up), and some came back: sent once,
    // in a turn of its own, so that those players can start again together.
    void allBack();

private:
    Probe m_probe;
    std::set<const QObject*> m_waiting;
    bool m_someBack = false;
    QTimer m_timer;
};

// The sockets the sound servers listen on, as their clients find them: PulseAudio's
// (PULSE_SERVER, else PULSE_RUNTIME_PATH or XDG_RUNTIME_DIR's pulse/native) and PipeWire's
// (PIPEWIRE_REMOTE, default pipewire-0, in PIPEWIRE_RUNTIME_DIR or XDG_RUNTIME_DIR). A server
// named by a network address cannot be looked at: hasRemote tells that one is named.
struct SoundServerSockets {
    std::vector<std::string> paths;
    std::string pipeWire;  // PipeWire's, also among paths; empty where none can be named
    bool hasRemote = false;
};
SoundServerSockets soundServerSockets(const QProcessEnvironment& environment);

// Whether PipeWire listens where this process's environment says it does.
bool pipeWireListening();

// Whether a server listens on any of the sockets, by connecting without waiting.
bool anyListening(const std::vector<std::string>& socketPaths);
