// Pellucor: two media players side by side, steered together by system-wide hot keys.
#include <QApplication>
#include <clocale>
#include <exception>
#include <memory>

#include "HotKeyError.h"
#include "HotKeyLogging.h"
#include "MessageHook.h"
#include "MpvPlayer.h"
#include "QtFileDialog.h"
#include "QtMessageBox.h"
#include "StartCoordinator.h"
#include "X11HotKeyPlatform.h"
#include "frm1.h"

namespace {

std::string startUpReport(const std::exception& e) {
    if (const auto* hk = dynamic_cast<const HotKeyError*>(&e)) {
        char number[16];
        std::snprintf(number, sizeof number, "0x%08X", static_cast<unsigned>(hk->number()));
        return "Pellucor kann nicht starten:\n" + hk->description() + "\n\n(" + hk->source() +
               ", " + number + ")";
    }
    return std::string("Pellucor kann nicht starten:\n") + e.what();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    routeHotKeyWarnings();
    // libmpv refuses to start unless numbers are read the C way; Qt has just set the
    // user's locale.
    std::setlocale(LC_NUMERIC, "C");

    QtMessageBox messageBox;
    QtFileDialog fileDialog;
    X11HotKeyPlatform hotKeyPlatform(MessageHook::instance());
    StartCoordinator starts;

    auto makePlayer = [&starts](QWidget* host) -> std::unique_ptr<IMediaPlayer> {
        return std::make_unique<MpvPlayer>(host, &starts);
    };
    auto* window =
        new frm1({makePlayer, fileDialog, messageBox, hotKeyPlatform, MessageHook::instance()});
    // Closing the window destroys it, which releases the hot keys; the program ends with it.
    window->setAttribute(Qt::WA_DeleteOnClose);
    messageBox.setParent(window);
    fileDialog.setParent(window);

    try {
        window->Form_Load();
    } catch (const std::exception& e) {
        messageBox.setParent(nullptr);
        messageBox.show(startUpReport(e));
        delete window;
        return 1;
    }
    window->show();
    return app.exec();
}
