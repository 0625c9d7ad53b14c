#include "ProcessSetup.h"

#include <QCoreApplication>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <mutex>

#include "AllocatorTuning.h"
#include "AppLog.h"
#include "MpvLibrary.h"
#include "UnplannedExit.h"
#include "XErrorLog.h"
#include "XlibSharedState.h"

namespace {

void readNumbersTheCWay() {
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace

void prepareProcess() {
    // A peer that goes away (the X server, a sound server) must show as a failed write, which
    // that connection's own error path reports; by default the write's SIGPIPE ended the
    // program first, without a word.
    std::signal(SIGPIPE, SIG_IGN);

    // libmpv's PipeWire output takes the configuration of a client that plays along with the
    // graph: without it, the thread that hands each graph cycle its sound runs at the normal
    // priority, and on a busy machine one player now and then misses a cycle and is heard a
    // cycle behind the other until the follower catches up. With it, that thread runs in real
    // time where the system allows it (RealtimeKit on a desktop). A configuration the user
    // chose stays.
    setenv("PIPEWIRE_CONFIG_NAME", "client-rt.conf", 0);

    if (!tuneAllocator())
        qCWarning(lcApp) << "the allocator refused its settings; re-opening files may grow the "
                            "process";

    // libmpv refuses to make a player unless numbers are read the C way, and must find it so on
    // every thread it starts. QApplication, as it is made, sets the user's locale, numbers
    // included; a pre-routine runs within that, after it, before any other thread can read the
    // locale (and at once if QApplication is made already).
    qAddPreRoutine(&readNumbersTheCWay);
}

void installX11Workarounds() {
    // Qt's I/O error handler ends the program with exit(), from any thread that finds the
    // display gone (a video output's too): replaced here by one that ends it at once.
    keepXErrorsFromEndingTheProcess(&endAtOnceWithoutDisplay);
    prepareOnMpvLoad(&prepareXlibSharedState);
}

void prepareProcessWithoutMain() {
    static std::once_flag prepared;
    std::call_once(prepared, [] {
        prepareProcess();
        installX11Workarounds();
    });
}
