#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <mutex>
#include <string>

#include "CommandQueue.h"
#include "IRemoteTransport.h"

class IRemoteTimer;

// The window's transport as the remote sees it from the thread that answers the bus. Commands
// go through a CommandQueue onto the window's thread; what player 1 is doing is read from a copy
// that the window's thread takes four times a second and after every command, so a read costs
// the window nothing however many come. The same refresh tells the bus's listeners of changes.
// Lives on the window's thread; the commands and view() may be called from any thread.
class TransportRelay : public QObject {
    Q_OBJECT
public:
    struct View {
        IRemoteTransport::State state = IRemoteTransport::State::Stopped;
        double position = 0.0;
        std::string file;
        double speed = 1.0;
    };

    TransportRelay(IRemoteTransport& transport, IRemoteTimer& timer, QObject* parent = nullptr);

    void play();
    void pause();
    void back();
    void copyTime();
    // Opens wait in a queue of their own, so that a transport command sent right after them
    // never replaces them; a later open replaces one still waiting.
    void open(std::string file1, std::string file2);
    // Speed changes wait in a queue of their own too, so that `--speed` right before `--play`
    // keeps both; within a burst of them the latest wins.
    void setSpeed(double speed);
    void slower();
    void faster();
    // Pauses while player 1 plays, else plays, as player 1 stands when the command runs.
    void playPause();
    // One second back, then the media-player interface's Seeked with the new position.
    void backAndTellSeeked();

    // Player 1 as last read; while it plays, its position is moved on by the time since, at its
    // speed.
    View view() const;

    // Starts the refresh and tells this bus's listeners of each change from now on.
    void watch(QDBusConnection bus);

private:
    using Clock = std::chrono::steady_clock;

    void refresh();
    void submitAndRefresh(CommandQueue& queue, std::string name,
                          void (IRemoteTransport::*command)());

    IRemoteTransport& m_transport;
    CommandQueue m_commands;
    CommandQueue m_opens;
    CommandQueue m_speeds;
    QTimer m_watch;
    QDBusConnection m_bus;
    bool m_watching = false;

    mutable std::mutex m_mutex;
    View m_view;
    Clock::time_point m_readAt;

    // What listeners were told last.
    QString m_toldStatus;
    std::string m_toldFile;
    double m_toldSpeed = 1.0;
};
