#include "QtRepeatTimer.h"

QtRepeatTimer::QtRepeatTimer() {
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (m_tick)
            m_tick();
    });
}

void QtRepeatTimer::start(std::chrono::milliseconds interval, std::function<void()> tick) {
    m_tick = std::move(tick);
    m_timer.start(interval);
}

void QtRepeatTimer::stop() {
    m_timer.stop();
}
