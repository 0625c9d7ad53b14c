#include "IntervalTimer.h"

IntervalTimer::IntervalTimer(QObject* parent) : QObject(parent) {
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (onTick) onTick();
    });
}

void IntervalTimer::setInterval(int ms) {
    m_interval = ms;
    if (ms > 0) {
        m_timer.start(ms);
    } else {
        m_timer.stop();
    }
}
