#include "StandaloneMpv.h"

#include "ProcField.h"

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
    return rssKiBOf(m_process.processId());
}
