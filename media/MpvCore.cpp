#include "MpvCore.h"

#include <mpv/client.h>

#include <clocale>

#include "IMediaPlayer.h"

namespace {

constexpr std::uint64_t kEofObserver = 1;

// Options every player starts with. The audio chain matters: with libmpv's default chain and
// no sound device it falls through to SDL, where two players in one process hang or crash.
const char* const kOptions[][2] = {
    {"vo", "libmpv"},
    {"ao", "pipewire,pulse,alsa,null"},
    {"audio-client-name", "Pellucor"},
    // Without a sound device the null output stands in. With its default buffer of 0.2 s an
    // audio-only player's position runs ahead while playing and moves when it pauses, so two
    // players aligned at a pause ended up to 130 ms apart; a pause still moves the position by
    // up to this buffer. A real device's output is not affected.
    {"ao-null-buffer", "0.01"},
    {"idle", "yes"},
    {"pause", "yes"},
    // Stay on the last frame at the end; the player turns that into a stop itself.
    {"keep-open", "yes"},
    {"hr-seek", "yes"},
    // Rendering happens on the GUI thread and must never wait for a frame's display time.
    {"video-timing-offset", "0"},
    {"volume", "50"},
    {"mute", "no"},
    {"speed", "1.0"},
    {"keepaspect", "yes"},
    {"audio-display", "no"},
    {"hwdec", "no"},
    {"gpu-hwdec-interop", "no"},
    {"terminal", "no"},
    {"input-default-bindings", "no"},
    {"input-vo-keyboard", "no"},
    {"osc", "no"},
    {"load-scripts", "no"},
    {"config", "no"},
    {"ytdl", "no"},
};

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
    throw PlayerError(what + ": " + mpv_error_string(error));
}

}  // namespace

MpvCore::MpvCore() {
    // Qt sets the user's numeric locale; libmpv parses and prints numbers with the C one.
    std::setlocale(LC_NUMERIC, "C");
    m_mpv = mpv_create();
    if (!m_mpv) {
        throw PlayerError("libmpv: cannot create a player");
    }
    for (const auto& [name, value] : kOptions) {
        if (const int err = mpv_set_option_string(m_mpv, name, value); err < 0) {
            mpv_terminate_destroy(m_mpv);
            fail(std::string("libmpv option ") + name, err);
        }
    }
    if (const int err = mpv_initialize(m_mpv); err < 0) {
        mpv_terminate_destroy(m_mpv);
        fail("libmpv initialisation", err);
    }
    mpv_observe_property(m_mpv, kEofObserver, "eof-reached", MPV_FORMAT_FLAG);
    mpv_set_wakeup_callback(m_mpv, &MpvCore::onWakeup, this);
}

MpvCore::~MpvCore() {
    mpv_set_wakeup_callback(m_mpv, nullptr, nullptr);
    mpv_terminate_destroy(m_mpv);
}

void MpvCore::onWakeup(void* self) {
    // Runs on an mpv thread: only hand the work over to the GUI thread.
    QMetaObject::invokeMethod(static_cast<MpvCore*>(self), &MpvCore::drain, Qt::QueuedConnection);
}

void MpvCore::drain() {
    while (handleNextEvent(0)) {
    }
}

bool MpvCore::handleNextEvent(double timeoutSeconds) {
    const mpv_event* event = mpv_wait_event(m_mpv, timeoutSeconds);
    if (event->event_id == MPV_EVENT_NONE) {
        return false;
    }
    dispatch(*event);
    return true;
}

void MpvCore::dispatch(const mpv_event& event) {
    switch (event.event_id) {
        case MPV_EVENT_FILE_LOADED:
            emit fileLoaded();
            break;
        case MPV_EVENT_END_FILE: {
            const auto* end = static_cast<const mpv_event_end_file*>(event.data);
            emit fileEnded(static_cast<int>(end->reason), end->error);
            break;
        }
        case MPV_EVENT_PLAYBACK_RESTART:
            emit playbackRestarted();
            break;
        case MPV_EVENT_COMMAND_REPLY:
            emit commandReplied(event.reply_userdata, event.error);
            break;
        case MPV_EVENT_PROPERTY_CHANGE: {
            const auto* prop = static_cast<const mpv_event_property*>(event.data);
            if (event.reply_userdata == kEofObserver) {
                const bool reached =
                    prop->format == MPV_FORMAT_FLAG && *static_cast<const int*>(prop->data) != 0;
                emit eofReachedChanged(reached);
            }
            break;
        }
        default:
            break;
    }
}

void MpvCore::command(const std::vector<std::string>& args) {
    auto list = argv(args);
    if (const int err = mpv_command(m_mpv, list.data()); err < 0) {
        fail("libmpv " + args.front(), err);
    }
}

void MpvCore::commandAsync(std::uint64_t id, const std::vector<std::string>& args) {
    auto list = argv(args);
    if (const int err = mpv_command_async(m_mpv, id, list.data()); err < 0) {
        fail("libmpv " + args.front(), err);
    }
}

void MpvCore::setFlag(const char* name, bool value) {
    int flag = value ? 1 : 0;
    if (const int err = mpv_set_property(m_mpv, name, MPV_FORMAT_FLAG, &flag); err < 0) {
        fail(std::string("libmpv ") + name, err);
    }
}

void MpvCore::setDouble(const char* name, double value) {
    if (const int err = mpv_set_property(m_mpv, name, MPV_FORMAT_DOUBLE, &value); err < 0) {
        fail(std::string("libmpv ") + name, err);
    }
}

void MpvCore::setString(const char* name, const std::string& value) {
    if (const int err = mpv_set_property_string(m_mpv, name, value.c_str()); err < 0) {
        fail(std::string("libmpv ") + name, err);
    }
}

bool MpvCore::hasTrack(const std::string& type) const {
    std::int64_t count = 0;
    mpv_get_property(m_mpv, "track-list/count", MPV_FORMAT_INT64, &count);
    for (std::int64_t i = 0; i < count; ++i) {
        const std::string prefix = "track-list/" + std::to_string(i) + "/";
        if (getString((prefix + "type").c_str()) == type &&
            getFlag((prefix + "albumart").c_str()) != true) {
            return true;
        }
    }
    return false;
}

std::optional<double> MpvCore::getDouble(const char* name) const {
    double value = 0;
    if (mpv_get_property(m_mpv, name, MPV_FORMAT_DOUBLE, &value) < 0) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> MpvCore::getFlag(const char* name) const {
    int value = 0;
    if (mpv_get_property(m_mpv, name, MPV_FORMAT_FLAG, &value) < 0) {
        return std::nullopt;
    }
    return value != 0;
}

std::string MpvCore::getString(const char* name) const {
    char* value = mpv_get_property_string(m_mpv, name);
    if (!value) {
        return {};
    }
    std::string out(value);
    mpv_free(value);
    return out;
}
