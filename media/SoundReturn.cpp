#include "SoundReturn.h"

#include "IMediaPlayer.h"
#include "MediaLog.h"
#include "MpvCore.h"
#include "SoundServerWatch.h"

#include <utility>

namespace {
constexpr const char* kSilent = "null";
}

SoundReturn::SoundReturn(MpvCore& core, SoundServerWatch& watch, std::function<void()> restart)
    : m_core(core), m_watch(watch), m_restart(std::move(restart)) {
    connect(&m_watch, &SoundServerWatch::allBack, this, [this] {
        if (!std::exchange(m_back, false))
            return;
        try {
            m_restart();
        } catch (const PlayerError& e) {
            qCWarning(lcMedia) << "cannot start again with the sound back:" << e.what();
        }
    });
    connect(&m_core, &MpvCore::audioOutputChanged, this, &SoundReturn::onOutputChanged);
    connect(&m_watch, &SoundServerWatch::serverReachable, this, &SoundReturn::onServerReachable);
    connect(&m_core, &MpvCore::commandReplied, this, [this](quint64 id, int, qint64) {
        if (id == MpvCore::kReloadRequest)
            m_reloading = false;
    });
}

SoundReturn::~SoundReturn() {
    m_watch.release(this);
}

void SoundReturn::onOutputChanged() {
    const std::string& output = m_core.observed().audioOutput;
    if (output.empty())
        return;  // no sound now (between files, or while the output opens again)
    if (output != kSilent) {
        if (m_waiting)
            qCInfo(lcMedia) << "sound is back through" << output.c_str();
        m_heardThrough = output;
        stopWaiting(m_waiting);
        return;
    }
    if (m_waiting || !m_watch.canLook())
        return;
    // A player whose sound went to the null output from the start, beside a server that is up,
    // was refused by that server (its sound's format): trying again would change nothing.
    if (m_heardThrough.empty() && m_watch.reachable())
        return;
    if (m_heardThrough.empty())
        qCWarning(lcMedia) << "no sound server: playing on silently until one is up";
    else
        qCWarning(lcMedia) << "the sound server went away (" << m_heardThrough.c_str()
                           << "): playing on silently until it is back";
    m_waiting = true;
    m_triesLeft = kTries;
    m_watch.wait(this);
}

void SoundReturn::onServerReachable() {
    if (!m_waiting || m_reloading)
        return;
    if (m_triesLeft == 0) {
        qCWarning(lcMedia) << "a sound server is back, but the sound did not open on it; it "
                              "stays silent until the file is opened again";
        stopWaiting();
        return;
    }
    --m_triesLeft;
    try {
        m_reloading = true;
        m_core.reloadAudioOutputAsync();
    } catch (const PlayerError& e) {
        m_reloading = false;
        qCWarning(lcMedia) << "cannot open the sound again:" << e.what();
        stopWaiting();
    }
}

void SoundReturn::stopWaiting(bool soundBack) {
    m_back = soundBack;
    m_waiting = false;
    m_reloading = false;
    m_watch.release(this, soundBack);
}
