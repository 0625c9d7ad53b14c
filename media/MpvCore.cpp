#include "MpvCore.h"

#include <mpv/client.h>

#include <cstring>
#include <utility>

#include "IMediaPlayer.h"
#include "MediaLog.h"
#include "MpvLibrary.h"
#include "MpvStartOptions.h"
#include "SoundServerWatch.h"

namespace {

enum Observer : std::uint64_t {
    kTimePos = 1,
    kDuration,
    kPause,
    kEofReached,
    kVideoTrack,
    kFrameRate,
    kAudioOutput,
    kStillPicture,
    kPictureRate,
    kAudioPts,
    kOutputRate
};
constexpr std::uint64_t kOpenedHook = 1;

std::vector<const char*> argv(const std::vector<std::string>& args) {
    std::vector<const char*> out;
    out.reserve(args.size() + 1);
    for (const auto& a : args) {
        out.push_back(a.c_str());
    }
    out.push_back(nullptr);
    return out;
}

[[noreturn]] void fail(const std::string& what, int error) {
    throw PlayerError(what + ": " + libmpv().error_string(error));
}

std::int64_t entryIdOf(const mpv_node& result) {
    if (result.format != MPV_FORMAT_NODE_MAP) {
        return 0;
    }
    const mpv_node_list* map = result.u.list;
    for (int i = 0; i < map->num; ++i) {
        if (std::strcmp(map->keys[i], "playlist_entry_id") == 0 &&
            map->values[i].format == MPV_FORMAT_INT64) {
            return map->values[i].u.int64;
        }
    }
    return 0;
}

// A sound or picture track in a codec libmpv knows. One whose codec it cannot name opens, but
// no decoder takes it, and the file is refused only after the open has returned.
bool playable(const mpv_node& track) {
    if (track.format != MPV_FORMAT_NODE_MAP) {
        return false;
    }
    bool soundOrPicture = false;
    bool namedCodec = true;  // a libmpv that does not say is left to decide itself
    for (int k = 0; k < track.u.list->num; ++k) {
        const char* key = track.u.list->keys[k];
        const mpv_node& value = track.u.list->values[k];
        if (value.format != MPV_FORMAT_STRING) {
            continue;
        }
        if (std::strcmp(key, "type") == 0) {
            soundOrPicture = std::strcmp(value.u.string, "video") == 0 ||
                             std::strcmp(value.u.string, "audio") == 0;
        } else if (std::strcmp(key, "codec") == 0) {
            namedCodec = value.u.string[0] != '\0';
        }
    }
    return soundOrPicture && namedCodec;
}

}  // namespace

MpvCore::MpvCore(std::int64_t wid) : m_wid(wid) {}

void MpvCore::start(bool keepWindow) {
    if (m_mpv || m_shutDown) {
        return;
    }
    m_lib = &libmpv();
    const MpvLibrary& lib = *m_lib;
    mpv_handle* const mpv = lib.create();
    if (!mpv) {
        throw PlayerError("libmpv: cannot create a player");
    }
    try {
        m_soundOutputs = audioOutputs(pipeWireListening());
        setStartOptions(lib, mpv, m_wid, keepWindow, m_soundOutputs);
    } catch (const PlayerError&) {
        lib.terminate_destroy(mpv);
        throw;
    }
    if (const int err = lib.initialize(mpv); err < 0) {
        lib.terminate_destroy(mpv);
        fail("libmpv initialisation", err);
    }
    if (const int err = lib.hook_add(mpv, kOpenedHook, "on_preloaded", 0); err < 0) {
        lib.terminate_destroy(mpv);
        fail("libmpv hook", err);
    }
    lib.request_log_messages(mpv, mpvLogLevel());
    lib.observe_property(mpv, kTimePos, "time-pos", MPV_FORMAT_DOUBLE);
    lib.observe_property(mpv, kDuration, "duration", MPV_FORMAT_DOUBLE);
    lib.observe_property(mpv, kPause, "pause", MPV_FORMAT_FLAG);
    lib.observe_property(mpv, kEofReached, "eof-reached", MPV_FORMAT_FLAG);
    lib.observe_property(mpv, kVideoTrack, "current-tracks/video/id", MPV_FORMAT_INT64);
    lib.observe_property(mpv, kFrameRate, "container-fps", MPV_FORMAT_DOUBLE);
    lib.observe_property(mpv, kAudioOutput, "current-ao", MPV_FORMAT_STRING);
    lib.observe_property(mpv, kStillPicture, "current-tracks/video/albumart", MPV_FORMAT_FLAG);
    lib.observe_property(mpv, kPictureRate, "estimated-vf-fps", MPV_FORMAT_DOUBLE);
    lib.observe_property(mpv, kAudioPts, "audio-pts", MPV_FORMAT_DOUBLE);
    lib.observe_property(mpv, kOutputRate, "audio-out-params/samplerate", MPV_FORMAT_INT64);
    lib.set_wakeup_callback(mpv, &MpvCore::onWakeup, this);
    m_mpv = mpv;
}

MpvCore::~MpvCore() {
    shutDown();
}

const char* MpvCore::errorText(int error) const {
    return m_lib ? m_lib->error_string(error) : "libmpv has not started";
}

void MpvCore::shutDown() {
    // A player whose window goes before libmpv came never starts it.
    m_shutDown = true;
    if (!m_mpv) {
        return;
    }
    m_lib->set_wakeup_callback(m_mpv, nullptr, nullptr);
    // Waits until libmpv's threads are done, its video output closed.
    m_lib->terminate_destroy(m_mpv);
    m_mpv = nullptr;
}

void MpvCore::onWakeup(void* self) {
    // Runs on an mpv thread: only hand the work over to the GUI thread.
    QMetaObject::invokeMethod(static_cast<MpvCore*>(self), &MpvCore::drain, Qt::QueuedConnection);
}

void MpvCore::drain() {
    while (handleNextEvent()) {
    }
}

bool MpvCore::handleNextEvent() {
    if (!m_mpv) {
        return false;
    }
    const mpv_event* event = m_lib->wait_event(m_mpv, 0);
    if (event->event_id == MPV_EVENT_NONE) {
        return false;
    }
    dispatch(*event);
    return true;
}

void MpvCore::dispatch(const mpv_event& event) {
    switch (event.event_id) {
        case MPV_EVENT_START_FILE:
            // What was reported of the previous file no longer holds.
            m_observed.timePos.reset();
            m_observed.sound.clear();
            m_observed.heard.clear();
            m_observed.duration.reset();
            m_observed.pictureRate.reset();
            m_observed.eofReached = false;
            m_observed.durationGuessed = false;
            emit fileStarted(
                static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id);
            break;
        case MPV_EVENT_HOOK: {
            const auto* hook = static_cast<const mpv_event_hook*>(event.data);
            if (event.reply_userdata == kOpenedHook) {
                emit fileOpened();
            }
            if (m_mpv) {
                m_lib->hook_continue(m_mpv, hook->id);
            }
            break;
        }
        case MPV_EVENT_FILE_LOADED:
            emit fileLoaded();
            break;
        case MPV_EVENT_END_FILE: {
            const auto* end = static_cast<const mpv_event_end_file*>(event.data);
            emit fileEnded(end->playlist_entry_id, static_cast<int>(end->reason), end->error);
            break;
        }
        case MPV_EVENT_PLAYBACK_RESTART:
            emit playbackRestarted();
            break;
        case MPV_EVENT_COMMAND_REPLY: {
            const auto* reply = static_cast<const mpv_event_command*>(event.data);
            emit commandReplied(event.reply_userdata, event.error, entryIdOf(reply->result));
            break;
        }
        case MPV_EVENT_GET_PROPERTY_REPLY: {
            const auto* read = static_cast<const mpv_event_property*>(event.data);
            std::optional<double> value;
            if (event.error >= 0 && read->format == MPV_FORMAT_DOUBLE && read->data) {
                value = *static_cast<const double*>(read->data);
            }
            emit doubleRead(event.reply_userdata, value);
            break;
        }
        case MPV_EVENT_SET_PROPERTY_REPLY:
            if (event.error < 0) {
                qCWarning(lcMedia) << "libmpv refused a setting:" << errorText(event.error);
            }
            break;
        case MPV_EVENT_PROPERTY_CHANGE:
            propertyChanged(event.reply_userdata, event.data);
            break;
        case MPV_EVENT_LOG_MESSAGE:
            logMessage(event.data);
            break;
        default:
            break;
    }
}

void MpvCore::propertyChanged(std::uint64_t id, const void* data) {
    const auto* property = static_cast<const mpv_event_property*>(data);
    const bool has = property->data != nullptr && property->format != MPV_FORMAT_NONE;
    const auto number = [&]() -> std::optional<double> {
        if (has && property->format == MPV_FORMAT_DOUBLE) {
            return *static_cast<const double*>(property->data);
        }
        return std::nullopt;
    };
    const auto flag = [&] {
        return has && property->format == MPV_FORMAT_FLAG &&
               *static_cast<const int*>(property->data) != 0;
    };
    switch (id) {
        case kTimePos:
            m_observed.timePos = number();
            m_observed.sound.reported(m_observed.timePos, m_observed.paused,
                                      SoundClock::Clock::now());
            ++m_observed.timePosSerial;
            emit timePosChanged();
            break;
        case kAudioPts:
            m_observed.heard.reported(number(), m_observed.paused, SoundClock::Clock::now());
            break;
        case kOutputRate:
            m_observed.outputRate =
                has && property->format == MPV_FORMAT_INT64
                    ? std::optional(*static_cast<const std::int64_t*>(property->data))
                    : std::nullopt;
            break;
        case kDuration:
            m_observed.duration = number();
            break;
        case kFrameRate:
            m_observed.frameRate = number();
            break;
        case kPictureRate:
            m_observed.pictureRate = number();
            emit pictureRateChanged();
            break;
        case kAudioOutput: {
            const bool text = has && property->format == MPV_FORMAT_STRING;
            std::string output = text ? *static_cast<char* const*>(property->data) : "";
            if (output != m_observed.audioOutput) {
                m_observed.audioOutput = std::move(output);
                emit audioOutputChanged();
            }
            break;
        }
        case kPause:
            m_observed.paused = flag();
            if (m_observed.paused) {
                m_observed.sound.forget();
                m_observed.heard.forget();
            }
            break;
        case kStillPicture:
            m_observed.stillPicture = flag();
            break;
        case kEofReached:
            m_observed.eofReached = flag();
            emit eofReachedChanged(m_observed.eofReached);
            break;
        case kVideoTrack:
            if (m_observed.hasPicture != has) {
                m_observed.hasPicture = has;
                emit pictureChanged(has);
            }
            break;
        default:
            break;
    }
}

void MpvCore::logMessage(const void* data) {
    const auto* message = static_cast<const mpv_event_log_message*>(data);
    const QString text = QStringLiteral("[%1] %2").arg(QString::fromUtf8(message->prefix),
                                                       QString::fromUtf8(message->text).trimmed());
    // libavformat says so only in its log, while it opens the file.
    if (text.contains(QLatin1String("Estimating duration from bitrate"))) {
        m_observed.durationGuessed = true;
    }
    if (message->log_level <= MPV_LOG_LEVEL_WARN) {
        qCWarning(lcMedia).noquote() << text;
    } else if (message->log_level <= MPV_LOG_LEVEL_INFO) {
        qCInfo(lcMedia).noquote() << text;
    } else {
        qCDebug(lcMedia).noquote() << text;
    }
}

MpvCore::OpenedFile MpvCore::readOpenedFile() {
    OpenedFile file;
    if (!m_mpv) {
        return file;
    }
    double duration = 0.0;
    if (m_lib->get_property(m_mpv, "duration", MPV_FORMAT_DOUBLE, &duration) >= 0) {
        file.duration = duration;
        m_observed.duration = duration;
    }
    mpv_node tracks{};
    if (m_lib->get_property(m_mpv, "track-list", MPV_FORMAT_NODE, &tracks) < 0) {
        // Unknown: let libmpv decide, as it does when it chooses the tracks.
        file.hasAudioOrVideo = true;
        return file;
    }
    if (tracks.format == MPV_FORMAT_NODE_ARRAY) {
        for (int i = 0; i < tracks.u.list->num && !file.hasAudioOrVideo; ++i) {
            file.hasAudioOrVideo = playable(tracks.u.list->values[i]);
        }
    }
    m_lib->free_node_contents(&tracks);
    return file;
}

void MpvCore::requireHandle() {
    if (m_shutDown) {
        throw PlayerError("the player was shut down with its window");
    }
    // Never waits for the library: a player hands its work over once libmpv is there.
    if (!m_mpv && !mpvLoadEnded()) {
        throw PlayerError("libmpv is still loading");
    }
    start();
}

void MpvCore::commandAsync(std::uint64_t id, const std::vector<std::string>& args) {
    requireHandle();
    auto list = argv(args);
    if (const int err = m_lib->command_async(m_mpv, id, list.data()); err < 0) {
        fail("libmpv " + args.front(), err);
    }
}

void MpvCore::reloadAudioOutputAsync() {
    // The server now up may not be the one there was when the outputs were chosen: outputs
    // chosen again open the output again.
    const char* outputs = audioOutputs(pipeWireListening());
    if (std::strcmp(outputs, m_soundOutputs) != 0) {
        m_soundOutputs = outputs;
        commandAsync(kReloadRequest, {"set", "ao", outputs});
        return;
    }
    commandAsync(kReloadRequest, {"ao-reload"});
}

void MpvCore::setAsync(const char* name, int format, void* value) {
    requireHandle();
    const int err =
        m_lib->set_property_async(m_mpv, 0, name, static_cast<mpv_format>(format), value);
    if (err < 0) {
        fail(std::string("libmpv ") + name, err);
    }
}

void MpvCore::readDoubleAsync(std::uint64_t id, const char* name) {
    requireHandle();
    if (const int err = m_lib->get_property_async(m_mpv, id, name, MPV_FORMAT_DOUBLE); err < 0) {
        fail(std::string("libmpv ") + name, err);
    }
}

void MpvCore::setFlagAsync(const char* name, bool value) {
    int flag = value ? 1 : 0;
    setAsync(name, MPV_FORMAT_FLAG, &flag);
}

void MpvCore::setDoubleAsync(const char* name, double value) {
    setAsync(name, MPV_FORMAT_DOUBLE, &value);
}

void MpvCore::setStringAsync(const char* name, const std::string& value) {
    const char* text = value.c_str();
    setAsync(name, MPV_FORMAT_STRING, &text);
}
