#pragma once

#include <QEventLoop>
#include <QTimer>
#include <memory>
#include <string>

#include "FakeFileDialog.h"
#include "FakeMessageBox.h"
#include "MessageHook.h"
#include "MpvPlayer.h"
#include "StartCoordinator.h"
#include "X11HotKeyPlatform.h"
#include "frm1.h"
#include "ui_frm1.h"

// The window as the program builds it (real players, real key grabs, the process's message
// hook), except that the file dialog "chooses" what the test says and messages are recorded.
class RealWindow {
public:
    FakeFileDialog dialog;
    FakeMessageBox messages;
    StartCoordinator starts;
    X11HotKeyPlatform platform{MessageHook::instance()};
    std::unique_ptr<frm1> window;

    // Without a shared start, each player starts on its own, as players did before the
    // window started them together (for comparison in the benchmark). Hot keys come from the
    // X11 platform unless the test names another (the desktop's portal).
    explicit RealWindow(bool sharedStart = true, IHotKeyPlatform* keys = nullptr) {
        auto makePlayer = [this, sharedStart](QWidget* host) -> std::unique_ptr<IMediaPlayer> {
            return std::make_unique<MpvPlayer>(host, sharedStart ? &starts : nullptr);
        };
        window = std::make_unique<frm1>(frm1Services{
            makePlayer, dialog, messages, keys ? *keys : platform, MessageHook::instance()});
        window->show();
    }

    // Opens a file into side 1 or 2 through the window's own open command.
    void open(int side, const std::string& path) {
        dialog.nextChoice = path;
        side == 1 ? window->neu1_Click() : window->neu2_Click();
    }

    IMediaPlayer& player(int side) { return side == 1 ? *window->wmp1 : *window->wmp2; }
    Ui::frm1& ui() { return window->controls(); }
};

// Runs the event loop for the given time, so that players play and messages arrive. The loop
// sleeps between events as the program's own does; polling processEvents instead keeps this
// thread busy, and on a loaded machine the scheduler then lets it wait for hundreds of ms.
inline void runEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}
