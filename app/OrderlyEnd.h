#pragma once

#include <QObject>
#include <QPointer>
#include <chrono>
#include <memory>

class frm1;
class Deadline;

// One way out for every way the program is asked to end (Ctrl+E, the close button, SIGTERM,
// SIGINT, a logout): the open dialogs and message boxes are rejected and every event loop
// returns, nested ones included; only then, back in main, does the window go. Deleting the
// window from inside a nested loop freed the dialog that loop belonged to.
class OrderlyEnd : public QObject {
    Q_OBJECT
public:
    // How long the players may take to stop before the program ends without them.
    static constexpr std::chrono::milliseconds kPlayerPatience{2000};

    // Watches the window: once it is closed, the program ends.
    explicit OrderlyEnd(frm1& window);
    ~OrderlyEnd() override;

    // Rejects the modal dialogs and asks every event loop to return; app.exec() then returns.
    static void request();

    // After app.exec(): the window goes off screen, the hot keys go back to the desktop, then
    // the window goes with its players. A player that cannot stop in time (a read hanging on
    // a share) is abandoned: the process ends at once with this status.
    void finish(int status);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void releaseKeys();
    void allowPlayersToStop(int status);

    QPointer<frm1> m_window;
    std::unique_ptr<Deadline> m_deadline;
};
