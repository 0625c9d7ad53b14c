#include "MpvStartOptions.h"

#include <mpv/client.h>

#include <filesystem>
#include <string>
#include <thread>
#include <utility>

#include "IMediaPlayer.h"
#include "MediaLog.h"
#include "MpvLibrary.h"

namespace {

// Options every player starts with (the sound outputs apart: audioOutputs()).
const char* const kStartOptions[][2] = {
    {"audio-client-name", "Pellucor"},
    // Without a sound device the null output stands in. With its default buffer of 0.2 s an
    // audio-only player's position runs ahead while playing and moves back when it pauses, so
    // two players aligned at a pause would end up apart; a pause moves the position by up to
    // this buffer. A real device's output is not affected.
    {"ao-null-buffer", "0.01"},
    // The null output rounds its buffer down to whole bursts: with the default burst of 256
    // samples a 10 ms buffer is empty below 25.6 kHz and the output refuses low-rate audio.
    {"ao-null-outburst", "32"},
    {"idle", "yes"},
    {"pause", "yes"},
    // Stay on the last frame at the end; the player turns that into a stop itself.
    {"keep-open", "yes"},
    {"hr-seek", "yes"},
    // At the normal speed the speed changes only by a percent, to keep player 2 with player 1:
    // resampling makes no sound of its own, while the pitch-keeping filter would be put in and
    // taken out at each change. A speed the user chooses keeps the pitch (setKeepPitch).
    {"audio-pitch-correction", "no"},
    // Where libmpv caches (a file it takes for a network one), its defaults of 150 MiB ahead and
    // 50 MiB behind per player outweigh the window; a few seconds each way is all F1 needs.
    {"demuxer-max-bytes", "16MiB"},
    {"demuxer-max-back-bytes", "4MiB"},
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
    {"input-cursor", "no"},
    {"cursor-autohide", "no"},
    {"osc", "no"},
    {"load-scripts", "no"},
    // libmpv's built-in scripts (statistics, console, conditional profiles) answer only to
    // keys and a configuration the players turn off, yet each starts a Lua thread per player
    // that reads the fonts while the window comes up, on a start that waits for the CPU.
    {"load-stats-overlay", "no"},
    {"load-osd-console", "no"},
    {"load-auto-profiles", "no"},
    {"config", "no"},
    {"ytdl", "no"},
};

// The video output: OpenGL where there is a GPU, else the plain X11 outputs. Left to itself,
// libmpv probes its OpenGL contexts one by one, and the DRM one, tried without a console,
// closes file descriptors it never opened: other parts of the process lose theirs. Without a
// GPU it would then settle on SDL, which opens a window of its own and hangs with two players
// in one process.
std::pair<const char*, const char*> startVideoOutput() {
    std::error_code none;
    const bool gpu = std::filesystem::exists("/dev/dri/renderD128", none);
    return gpu ? std::pair{"gpu,xv,x11", "x11egl"} : std::pair{"xv,x11", "auto"};
}

// Left to itself the decoder runs one thread per core and one more, each holding pictures of its
// own, so a loaded player's memory would grow with the machine's cores. The two players decode at
// once after every command, so each gets half the cores, at most two. On two cores a second
// thread each only makes them take turns, and a jump of both players takes longer than with one
// thread each.
const char* decoderThreadCount() {
    return std::thread::hardware_concurrency() >= 4 ? "2" : "1";
}

[[noreturn]] void refuseOption(const MpvLibrary& lib, const std::string& name, int error) {
    throw PlayerError("libmpv option " + name + ": " + lib.error_string(error));
}

}  // namespace

const char* audioOutputs(bool pipeWireListens) {
    // With libmpv's default chain and no sound device it falls through to SDL, where two players
    // in one process hang or crash. PipeWire's own output, failing to connect, shuts the PipeWire
    // library down while the other player's output may be starting it up, and that player's
    // libmpv hangs for good: it is tried only where PipeWire listens.
    return pipeWireListens ? "pipewire,pulse,alsa,null" : "pulse,alsa,null";
}

void setStartOptions(const MpvLibrary& lib, mpv_handle* mpv, std::int64_t wid, bool keepWindow,
                     const char* soundOutputs) {
    if (const int err = lib.set_option_string(mpv, "ao", soundOutputs); err < 0) {
        refuseOption(lib, "ao", err);
    }
    for (const auto& [name, value] : kStartOptions) {
        if (const int err = lib.set_option_string(mpv, name, value); err < 0) {
            refuseOption(lib, name, err);
        }
    }
    if (const int err = lib.set_option_string(mpv, "vd-lavc-threads", decoderThreadCount());
        err < 0) {
        refuseOption(lib, "vd-lavc-threads", err);
    }
    // libmpv opens the window it keeps between files only as it goes idle: set later, the
    // setting waits for the end of a file, and the first open pays for the window while the
    // window waits for the file.
    if (keepWindow && wid != 0) {
        if (const int err = lib.set_option_string(mpv, "force-window", "yes"); err < 0) {
            refuseOption(lib, "force-window", err);
        }
    }
    // Without a window to draw into, libmpv would open top-level windows of its own.
    const auto [vo, context] = wid != 0 ? startVideoOutput() : std::pair{"null", "auto"};
    if (wid == 0) {
        qCWarning(lcMedia) << "no picture: libmpv draws only into X11 windows; Pellucor shows "
                              "pictures on X11 and XWayland (the default in a Wayland session)";
    }
    if (lib.set_option_string(mpv, "vo", vo) < 0 ||
        lib.set_option_string(mpv, "gpu-context", context) < 0) {
        throw PlayerError("libmpv: cannot choose a video output");
    }
    // wid is a copy: libmpv takes the option by a non-const pointer.
    if (const int err = wid != 0 ? lib.set_option(mpv, "wid", MPV_FORMAT_INT64, &wid) : 0;
        err < 0) {
        refuseOption(lib, "wid", err);
    }
}

// As much of libmpv's log as our own category lets through.
const char* mpvLogLevel() {
    if (lcMedia().isDebugEnabled()) {
        return "v";
    }
    return lcMedia().isInfoEnabled() ? "info" : "warn";
}
