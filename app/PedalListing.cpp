#include "PedalListing.h"

#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "LinuxPedalNodes.h"
#include "PedalHub.h"
#include "QtFdWatcher.h"
#include "SignalQuit.h"
#include "UdevDiscovery.h"

namespace {

// What the hub says goes to the terminal once the list is out; before, the list says it.
class TerminalLog : public IPedalLog {
public:
    bool listed = false;

    void info(const std::string& text) override { say(text); }
    void warning(const std::string& text) override { say(text); }

private:
    void say(const std::string& text) {
        if (listed) {
            std::printf("%s\n", text.c_str());
            std::fflush(stdout);
        }
    }
};

void printList(const PedalHub& hub) {
    if (hub.found().empty()) {
        std::printf("No foot pedal found. Pellucor reads these (vendor:product):\n");
        for (const PedalModel& m : pedalModels())
            std::printf("  %s  %s\n", usbIdText(m.vendor, m.product).c_str(), m.name);
        std::printf("Waiting for one to be plugged in; Ctrl+C ends.\n");
        return;
    }
    std::printf("Foot pedals found:\n");
    for (const PedalHub::Found& f : hub.found()) {
        std::printf("  %s  %s  %s  %s%s\n", usbIdText(f.node.vendor, f.node.product).c_str(),
                    f.model->name, f.node.devnode.c_str(),
                    f.readable ? "can be read" : "cannot be read: ", f.problem.c_str());
    }
    std::printf("Press a pedal to see it here; Ctrl+C ends.\n");
}

}  // namespace

int runPedalListing(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TerminalLog log;
    UdevDiscovery discovery;
    LinuxPedalNodes nodes;
    QtFdWatcher watcher;
    PedalHub hub(discovery, nodes, watcher, log);
    if (!discovery.usable()) {
        std::fprintf(stderr, "pellucor: libudev cannot be used; no pedal can be found\n");
        return 1;
    }
    hub.start([](std::span<const PedalChange> changes) {
        for (const PedalChange& c : changes)
            std::printf("%s pedal %s\n", roleName(c.role), c.pressed ? "pressed" : "released");
        std::fflush(stdout);
    });
    printList(hub);
    std::fflush(stdout);
    log.listed = true;
    SignalQuit quit([] { QCoreApplication::quit(); });
    return app.exec();
}
