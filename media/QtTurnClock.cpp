#include <QObject>
#include <QTimer>

#include "TurnClock.h"

namespace {

class QtTimer : public TurnClock::Timer {
public:
    explicit QtTimer(std::function<void()> onTimeout) {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, std::move(onTimeout));
    }
    void start(std::chrono::milliseconds after) override { m_timer.start(after); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

class QtTurnClock : public TurnClock {
public:
    // Queued on a context of the clock's own, so that a call still queued when the clock goes
    // is dropped.
    void afterTurn(std::function<void()> call) override {
        QMetaObject::invokeMethod(&m_context, std::move(call), Qt::QueuedConnection);
    }
    std::unique_ptr<Timer> timer(std::function<void()> onTimeout) override {
        return std::make_unique<QtTimer>(std::move(onTimeout));
    }

private:
    QObject m_context;
};

}  // namespace

std::unique_ptr<TurnClock> makeQtTurnClock() {
    return std::make_unique<QtTurnClock>();
}
