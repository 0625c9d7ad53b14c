#pragma once

#include <QObject>

#include "IRemoteTimer.h"

// The remote's timers on the Qt event loop of the thread that makes this object. Work still
// waiting when it goes is dropped with it.
class QtRemoteTimer : public IRemoteTimer {
public:
    void after(std::chrono::milliseconds delay, std::function<void()> work) override;

private:
    QObject m_context;
};
