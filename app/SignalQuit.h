#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a call on the event loop, so that they end the program the
// normal way (window closed, keys released). The handler only writes a byte to a pipe.
class SignalQuit : public QObject {
    Q_OBJECT
public:
    explicit SignalQuit(std::function<void()> quit, QObject* parent = nullptr);
    ~SignalQuit() override;

private:
    std::function<void()> m_quit;
    QSocketNotifier* m_notifier = nullptr;
};
