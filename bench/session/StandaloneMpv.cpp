#include "StandaloneMpv.h"

#include <fstream>

StandaloneMpv::StandaloneMpv(const std::string& video) {
    m_process.start(
        "mpv", {"--no-config", "--really-quiet", "--geometry=320x240",
                "--ao=pipewire,pulse,alsa,null", "--loop-file=inf", QString::fromStdString(video)});
}

StandaloneMpv::~StandaloneMpv() {
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
}

long StandaloneMpv::rssKiB() const {
    std::ifstream status("/proc/" + std::to_string(m_process.processId()) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}
