#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

// A millisecond timer whose interval 0 means no ticks at all (a QTimer would fire
// continuously at 0).
class IntervalTimer : public QObject {
    Q_OBJECT
public:
    explicit IntervalTimer(QObject* parent = nullptr);

    int interval() const { return m_interval; }
    void setInterval(int ms);
    bool isTicking() const { return m_timer.isActive(); }

    std::function<void()> onTick;

private:
    QTimer m_timer;
    int m_interval = 0;
};
