#pragma once

#include <QTimer>

#include "IRepeatTimer.h"

// A pedal's repeat on the Qt event loop.
class QtRepeatTimer : public IRepeatTimer {
public:
    QtRepeatTimer();

    void start(std::chrono::milliseconds interval, std::function<void()> tick) override;
    void stop() override;

private:
    QTimer m_timer;
    std::function<void()> m_tick;
};
