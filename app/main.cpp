// Pellucor: two media players side by side, steered together by system-wide hot keys.
#include <QApplication>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "AlignCommand.h"
#include "CommandClient.h"
#include "CommandLine.h"
#include "DisplayProbe.h"
#include "HotKeyError.h"
#include "HotKeyLogging.h"
#include "KeysUnavailableNotice.h"
#include "MpvPlayer.h"
#include "OrderlyEnd.h"
#include "PedalListing.h"
#include "PortalHotKeyPlatform.h"
#include "ProcessSetup.h"
#include "ProgramWindow.h"
#include "QtFileDialog.h"
#include "QtMessageBox.h"
#include "RemoteNames.h"
#include "SessionChoice.h"
#include "SignalQuit.h"
#include "SingleCopy.h"
#include "StoredControls.h"
#include "UnplannedExit.h"
#include "WindowPedals.h"
#include "WindowRemote.h"
#include "frm1.h"

Q_DECLARE_LOGGING_CATEGORY(lcApp)

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

// Options that need no window are done before Qt looks for a display.
int runOption(const CommandLine& line, int argc, char** argv) {
    switch (line.action) {
        case CommandLine::Action::Help:
            std::fputs(helpText().c_str(), stdout);
            return 0;
        case CommandLine::Action::Version:
            std::printf("pellucor %s\n", PELLUCOR_VERSION);
            return 0;
        case CommandLine::Action::Error:
            std::fprintf(stderr, "pellucor: %s\n%s", line.error.c_str(), usageText().c_str());
            return 2;
        case CommandLine::Action::Align:
            return runAlignCommand(line.files[0], line.files[1]);
        case CommandLine::Action::Send: {
            QCoreApplication app(argc, argv);
            QVariantList arguments;
            if (line.speed)
                arguments << *line.speed;
            return sendCommand(QDBusConnection::sessionBus(), QString::fromStdString(line.command),
                               arguments);
        }
        case CommandLine::Action::Pedals:
            return runPedalListing(argc, argv);
        case CommandLine::Action::Window:
            break;
    }
    return 0;
}

// The running window may have another working folder than this process.
QStringList absolutePaths(const std::vector<std::string>& files) {
    QStringList paths;
    for (const std::string& file : files)
        paths << QFileInfo(QString::fromLocal8Bit(file.c_str())).absoluteFilePath();
    return paths;
}

}  // namespace

int main(int argc, char** argv) {
    const CommandLine line = parseCommandLine(std::vector<std::string>(argv, argv + argc));
    if (line.action != CommandLine::Action::Window)
        return runOption(line, argc, argv);

    const SessionChoice session = chooseSession(probeSession());
    if (session.noDisplay) {
        std::fprintf(stderr,
                     "pellucor: Pellucor needs a graphical desktop (X11 or Wayland), and none "
                     "was found\n");
        return 1;
    }
    if (session.qpaPlatform)
        qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(*session.qpaPlatform));

    prepareProcess();
    QApplication app(argc, argv);
    // libmpv's X11 video outputs open displays of their own, on threads of their own, and share
    // Xlib's process-wide state and error handlers with Qt and with each other: without these,
    // two outputs starting together can corrupt the heap, and one output's X error or lost
    // display ends the program under the other's feet. Made here, once Qt has connected,
    // because they replace the I/O error handler Qt's X11 plugin installs as it connects.
    installX11Workarounds();
    routeHotKeyWarnings();
    routeAlignWarnings();

    // Files go to a window that runs already, and this copy ends before it makes a window or
    // asks for the keys (which the running window holds).
    const QStringList files = absolutePaths(line.files);
    if (!files.isEmpty()) {
        if (const std::optional<int> handed = handFilesOver(QDBusConnection::sessionBus(), files))
            return *handed;
    }

    // libmpv comes while the window is shown; a libmpv that cannot start ends the program
    // with the same report as any other start-up failure, once the window is gone.
    std::optional<std::string> mpvFailure;
    MpvPlayer::onStartFailure([&mpvFailure](const PlayerError& e) {
        if (!mpvFailure) {
            mpvFailure = startUpReport(e);
            QCoreApplication::exit(1);
        }
    });
    QtMessageBox messageBox;
    QtFileDialog fileDialog;
    ProgramWindow program({fileDialog, messageBox, session.keys});
    PortalHotKeyPlatform* portal = program.portal();
    // Nothing is bound until this copy knows it is the only one.
    if (portal)
        portal->holdBinding();

    frm1* window = program.window();
    const QPointer<frm1> liveWindow(window);
    messageBox.setParent(window);
    fileDialog.setParent(window);
    if (portal)
        portal->onUnavailable = [window](const std::string&) { showKeysUnavailable(window); };

    try {
        window->Form_Load();
    } catch (const std::exception& e) {
        messageBox.setParent(nullptr);
        messageBox.show(startUpReport(e));
        return 1;
    }

    // Speed and step back as the user left them; kept again whenever the user changes them.
    StoredControls().keep(*window);

    // The remote lives as long as the window: both go when the window is closed.
    auto* remote = new WindowRemote(*window);
    auto goLive = [liveWindow, remote, files] {
        if (!liveWindow)
            return;
        remote->publish(QDBusConnection::sessionBus());
        liveWindow->show();
        // From the event loop, as the open commands run: a failure's message waits there.
        QTimer::singleShot(0, liveWindow, [liveWindow, files] {
            try {
                for (qsizetype side = 1; side <= files.size(); ++side)
                    liveWindow->openFileNamed(static_cast<int>(side),
                                              files[side - 1].toStdString());
            } catch (const std::exception& e) {
                qCWarning(lcApp) << "cannot open the files of the command line:" << e.what();
            }
        });
    };

    // Foot pedals: read from here on, steering the window as the hot keys do; they go with it.
    startPedals(*window);

    // Closing the window ends the program; the window itself goes once app.exec() is back.
    OrderlyEnd ending(*window);
    SignalQuit signalQuit([] {
        qCInfo(lcApp) << "asked to end; closing the window";
        OrderlyEnd::request();
    });

    // On X11 a second copy cannot take the keys and has ended in Form_Load. The portal would
    // give it a session of its own and the first copy's shortcuts: it ends here instead,
    // before it binds anything or shows a window.
    bool anotherCopy = false;
    if (portal) {
        checkSingleCopy(QDBusConnection::sessionBus(), RemoteNames::kService,
                        [&anotherCopy, portal, goLive](CopyCheck check) {
                            if (check == CopyCheck::AnotherRuns) {
                                qCWarning(lcApp) << "another copy runs; this one ends";
                                anotherCopy = true;
                                QCoreApplication::exit(1);
                                return;
                            }
                            portal->releaseBinding();
                            goLive();
                        });
    } else {
        goLive();
    }
    endAtOnceOnUnplannedExit();
    const int status = app.exec();
    if (anotherCopy) {
        ending.finish(1);
        messageBox.show(startUpReport(std::runtime_error(
            "Pellucor läuft schon: die andere Kopie hat die Tasten F3, F2 und F1.")));
        plannedEnd();
        return 1;
    }
    ending.finish(status);
    if (mpvFailure)
        messageBox.show(*mpvFailure);
    plannedEnd();
    return status;
}
