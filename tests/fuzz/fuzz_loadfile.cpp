// Arbitrary bytes written to a file and opened by a real player, as the window's open command
// does: the player says the file is open or refuses it (libFuzzer's -timeout holds it to the
// player's bound, see run.sh), and the player then takes a good file as usual. Set
// PELLUCOR_FUZZ_GOOD_FILE to a small playable file with sound.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "MpvPlayer.h"
#include "PictureHold.h"
#include "PlayerGroups.h"
#include "ProcessSetup.h"

namespace {

struct Harness {
    int argc = 1;
    char name[16] = "fuzz_loadfile";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app;
    std::unique_ptr<QWidget> host;
    std::unique_ptr<PlayerGroups> groups;
    std::unique_ptr<MpvPlayer> player;
    QTemporaryDir dir;
    std::string input;
    std::string good;
    // How the last open ended, once the player has said so.
    bool told = false;
    std::string refusal;
};

Harness* g_harness = nullptr;

[[noreturn]] void fault(const std::string& what) {
    std::fprintf(stderr, "fuzz_loadfile: %s\n", what.c_str());
    std::abort();
}

void load(Harness& h, const std::string& path, bool mustOpen) {
    h.told = false;
    try {
        h.player->setAutoStart(false);
        h.player->setURL(path);
    } catch (const PlayerError& error) {
        if (mustOpen)
            fault(std::string("the good file is refused after a bad one: ") + error.what());
        return;
    }
    // The player's own timeout ends every open; libFuzzer's catches one that never ends.
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (h.told)
            loop.quit();
    });
    check.start(1);
    loop.exec();
    if (mustOpen && !h.refusal.empty())
        fault("the good file is refused after a bad one: " + h.refusal);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    auto* h = new Harness;
    h->app = std::make_unique<QApplication>(h->argc, h->argv);
    prepareProcessWithoutMain();
    h->host = std::make_unique<QWidget>();
    // Never shown: without a GL context the player takes no picture, the null video output.
    h->host->resize(320, 240);
    h->groups = std::make_unique<PlayerGroups>();
    h->groups->setTogether(&PictureHold::together);
    h->player = std::make_unique<MpvPlayer>(h->host.get(), *h->groups);
    h->player->onOpenEnded([h](const PlayerError* refusal) {
        h->told = true;
        h->refusal = refusal ? refusal->what() : "";
    });
    h->input = QDir(h->dir.path()).filePath("input.mp4").toStdString();
    const char* good = std::getenv("PELLUCOR_FUZZ_GOOD_FILE");
    if (good == nullptr || !std::ifstream(good))
        fault("PELLUCOR_FUZZ_GOOD_FILE must name a playable file");
    h->good = good;
    g_harness = h;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Harness& h = *g_harness;
    std::ofstream(h.input, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    load(h, h.input, false);
    QCoreApplication::processEvents();
    load(h, h.good, true);
    QCoreApplication::processEvents();
    return 0;
}
