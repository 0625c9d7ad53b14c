#include "OrderlyEnd.h"

#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLoggingCategory>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "frm1.h"

Q_DECLARE_LOGGING_CATEGORY(lcApp)

// Ends the process with the given status unless disarmed (destroyed) within the patience.
class Deadline {
public:
    Deadline(std::chrono::milliseconds patience, int status)
        : m_thread([this, patience, status] {
              std::unique_lock lock(m_mutex);
              if (m_disarmed.wait_for(lock, patience, [this] { return m_done; }))
                  return;
              qCWarning(lcApp) << "a player did not stop within" << patience.count()
                               << "ms (a file whose reads hang); ending without it";
              // Its threads still run: exit() would destroy what they use under them.
              ::_exit(status);
          }) {}
    ~Deadline() {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_disarmed.notify_one();
        m_thread.join();
    }
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_disarmed;
    bool m_done = false;
    std::thread m_thread;  // last: it uses the members above
};

OrderlyEnd::OrderlyEnd(frm1& window) : m_window(&window) {
    window.installEventFilter(this);
}

OrderlyEnd::~OrderlyEnd() = default;

bool OrderlyEnd::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Close) {
        // The window never refuses to close, and closing it takes its native windows, and the
        // players' libmpv with them, before this returns: the keys go first.
        releaseKeys();
        allowPlayersToStop(0);
        request();
    }
    return QObject::eventFilter(watched, event);
}

void OrderlyEnd::request() {
    // Each rejection lets that dialog's exec() return once the loops unwind.
    while (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        dialog->reject();
        if (QApplication::activeModalWidget() == dialog)
            break;  // it refuses to go; the loops end beneath it all the same
    }
    // Every running loop returns, and a loop begun from now on (a message box shown by a
    // command the dialog ended) returns at once, until app.exec() has.
    QCoreApplication::quit();
}

void OrderlyEnd::finish(int status) {
    if (!m_window)
        return;
    m_window->hide();
    releaseKeys();
    allowPlayersToStop(status);
    delete m_window.data();
    m_deadline.reset();
}

void OrderlyEnd::releaseKeys() {
    // Another program may have F1-F3 from here on, whatever the players do next.
    if (m_window)
        m_window->m_cHotKey.reset();
}

void OrderlyEnd::allowPlayersToStop(int status) {
    if (!m_deadline)
        m_deadline = std::make_unique<Deadline>(kPlayerPatience, status);
}
