#include "MpvPlayer.h"

#include <mpv/client.h>
#include <unistd.h>

#include <QVBoxLayout>
#include <charconv>
#include <chrono>
#include <clocale>
#include <cmath>
#include <filesystem>

#include "MpvCore.h"
#include "MpvVideoWidget.h"
#include "PlayerControlBar.h"

namespace {

constexpr float kTwipsPerPixel = 15.0f;

int pixels(float twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
float twips(int pixels) {
    return static_cast<float>(pixels) * kTwipsPerPixel;
}

// libmpv reads numbers the C way whatever the user's locale.
std::string number(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// Refuses what libmpv would accept but a player must not: a directory plays as a playlist.
void checkReadableFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const auto status = fs::status(path, error);
    if (path.empty() || !fs::exists(status)) {
        throw PlayerError("file not found: " + path);
    }
    if (!fs::is_regular_file(status)) {
        throw PlayerError("not a file: " + path);
    }
    if (::access(path.c_str(), R_OK) != 0) {
        throw PlayerError("file not readable: " + path);
    }
}

}  // namespace

MpvPlayer::MpvPlayer(QWidget* host, StartCoordinator* coordinator)
    : m_host(host),
      m_ownCoordinator(coordinator ? nullptr : std::make_unique<StartCoordinator>()),
      m_coordinator(coordinator ? coordinator : m_ownCoordinator.get()),
      m_core(std::make_unique<MpvCore>()),
      m_left(twips(host->x())),
      m_width(twips(host->width())),
      m_height(twips(host->height())) {
    std::setlocale(LC_NUMERIC, "C");

    m_video = new MpvVideoWidget(m_core->handle(), host);
    m_bar = new PlayerControlBar(host);
    auto* layout = host->layout() ? host->layout() : new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_video);
    layout->addWidget(m_bar);
    if (auto* box = qobject_cast<QBoxLayout*>(layout)) {
        box->setStretchFactor(m_video, 1);
    }
    // The window tabs from player to player: the host is the one stop, not its parts.
    m_video->setFocusPolicy(Qt::NoFocus);
    m_bar->showVolume(50, false);

    connect(m_core.get(), &MpvCore::fileLoaded, this, &MpvPlayer::onFileLoaded);
    connect(m_core.get(), &MpvCore::fileEnded, this, &MpvPlayer::onFileEnded);
    connect(m_core.get(), &MpvCore::eofReachedChanged, this, &MpvPlayer::onEofReached);
    connect(m_core.get(), &MpvCore::playbackRestarted, this, [this] {
        m_primed = true;
        m_seek.restarted();
        if (readyToStart()) {
            stopIfAtEnd();
        }
        seekSettled();
    });
    connect(m_core.get(), &MpvCore::commandReplied, this, [this](quint64 id, int error) {
        m_seek.replied(id, error < 0);
        seekSettled();
    });
    connect(m_video, &MpvVideoWidget::renderContextCreated, this, &MpvPlayer::onRenderReady);

    connect(m_bar, &PlayerControlBar::playPauseClicked, this, &MpvPlayer::togglePlay);
    connect(m_bar, &PlayerControlBar::seekRequested, this, [this](double seconds) {
        try {
            setCurrentPosition(seconds);
        } catch (const PlayerError&) {
            // The bar has nowhere to report to; the player stays as it was.
        }
    });
    connect(m_bar, &PlayerControlBar::volumeRequested, this, [this](int volume) {
        try {
            m_core->setDouble("volume", volume);
        } catch (const PlayerError&) {
        }
    });
    connect(m_bar, &PlayerControlBar::muteRequested, this, [this](bool muted) {
        try {
            m_core->setFlag("mute", muted);
            m_bar->showVolume(static_cast<int>(m_core->getDouble("volume").value_or(50)), muted);
        } catch (const PlayerError&) {
        }
    });
    m_barTimer.setInterval(250);
    connect(&m_barTimer, &QTimer::timeout, this, &MpvPlayer::refreshBar);
}

MpvPlayer::~MpvPlayer() {
    withdrawStart();
    // The render context must be freed while the mpv handle still exists.
    delete m_video.data();
    delete m_bar.data();
    m_core.reset();
}

void MpvPlayer::setAutoStart(bool autoStart) {
    m_autoStart = autoStart;
}

void MpvPlayer::setURL(const std::string& path) {
    checkReadableFile(path);
    withdrawStart();
    m_playing = false;
    m_stopped = false;
    m_seek.clear();
    m_lastPosition = 0.0;
    m_barTimer.stop();
    m_core->setFlag("pause", true);
    m_load = Load::Loading;
    m_loadError = 0;
    try {
        // Without a render context libmpv would refuse the whole file, not just its picture.
        m_core->setString("vid", m_video->renderReady() ? "auto" : "no");
        m_core->command({"loadfile", path, "replace"});
        waitForLoad(path);
    } catch (const PlayerError&) {
        m_load = Load::None;
        refreshBar();
        throw;
    }
    showFileKind(path);
    m_barTimer.start();
    refreshBar();
    if (m_autoStart) {
        play();
    }
}

void MpvPlayer::waitForLoad(const std::string& path) {
    // libmpv refuses a file asynchronously, a few tens of milliseconds after loadfile.
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration<double>(kOpenTimeoutSeconds);
    const auto waitWhile = [&](auto condition) {
        while (condition() && Clock::now() < deadline) {
            const std::chrono::duration<double> left = deadline - Clock::now();
            m_core->handleNextEvent(std::max(left.count(), 0.0));
        }
    };
    m_primed = false;
    waitWhile([this] { return m_load == Load::Loading; });
    if (m_load == Load::Loaded) {
        // Also wait for the first frame and the sound output, so that a play right after
        // opening starts at once. A file that takes longer is still open.
        waitWhile([this] { return m_load == Load::Loaded && !m_primed; });
        return;
    }
    const std::string reason = m_load == Load::Refused ? std::string(mpv_error_string(m_loadError))
                                                       : std::string("timed out");
    try {
        m_core->command({"stop"});
    } catch (const PlayerError&) {
    }
    throw PlayerError("cannot open " + path + ": " + reason);
}

void MpvPlayer::showFileKind(const std::string& path) {
    const bool hasPicture = m_core->hasTrack("video");
    const QString name = QString::fromStdString(std::filesystem::path(path).filename().string());
    m_video->setNotice(hasPicture ? QString()
                                  : QStringLiteral("\u266A %1\n(audio only)").arg(name));
}

void MpvPlayer::onFileLoaded() {
    if (m_load == Load::Loading) {
        m_load = Load::Loaded;
    }
}

void MpvPlayer::onFileEnded(int reason, int error) {
    if (m_load == Load::Loading) {
        // A playlist redirects to its entries; a player only takes media files.
        if (reason == MPV_END_FILE_REASON_ERROR || reason == MPV_END_FILE_REASON_REDIRECT) {
            m_load = Load::Refused;
            m_loadError = reason == MPV_END_FILE_REASON_ERROR ? error : MPV_ERROR_UNKNOWN_FORMAT;
        }
        return;
    }
    if (m_load == Load::Loaded && reason == MPV_END_FILE_REASON_ERROR) {
        m_load = Load::None;
        m_playing = false;
        m_seek.clear();
        withdrawStart();
        m_barTimer.stop();
        refreshBar();
    }
}

void MpvPlayer::onEofReached(bool reached) {
    // The news may be stale: a position written since then moved the player away from the end,
    // and that seek's own completion checks for the end again.
    if (!reached || m_load != Load::Loaded || m_stopped || !readyToStart() ||
        m_core->getFlag("eof-reached") != true) {
        return;
    }
    try {
        stopAndRewind();
    } catch (const PlayerError&) {
        // Reported by the next call on the player, which will fail the same way.
    }
}

void MpvPlayer::onRenderReady() {
    // A file opened before the picture could be drawn plays without one until now.
    try {
        m_core->setString("vid", "auto");
    } catch (const PlayerError&) {
    }
}

void MpvPlayer::requireFile() const {
    if (m_load != Load::Loaded) {
        throw PlayerError("no media file loaded");
    }
}

QWidget& MpvPlayer::host() const {
    if (!m_host) {
        throw PlayerError("the player's window is gone");
    }
    return *m_host;
}

void MpvPlayer::play() {
    requireFile();
    m_playing = true;
    m_stopped = false;
    if (m_coordinator) {
        m_coordinator->requestStart(this);
    } else {
        startNow();
    }
    refreshBar();
}

void MpvPlayer::pause() {
    requireFile();
    m_playing = false;
    withdrawStart();
    m_core->setFlag("pause", true);
    refreshBar();
}

bool MpvPlayer::readyToStart() const {
    return !m_seek.target(PendingSeek::Clock::now()).has_value();
}

void MpvPlayer::startNow() {
    if (!m_playing || m_load != Load::Loaded) {
        return;
    }
    try {
        m_core->setFlag("pause", false);
    } catch (const PlayerError&) {
        m_playing = false;
    }
}

double MpvPlayer::currentPosition() {
    requireFile();
    if (const auto target = m_seek.target(PendingSeek::Clock::now())) {
        return *target;
    }
    // Right after opening, libmpv has no position until the first frame is decoded.
    if (const auto position = m_core->getDouble("time-pos")) {
        m_lastPosition = std::max(*position, 0.0);
    }
    return m_lastPosition;
}

void MpvPlayer::setCurrentPosition(double seconds) {
    requireFile();
    if (std::isnan(seconds)) {
        throw PlayerError("position is not a number");
    }
    seconds = std::max(seconds, 0.0);
    const auto duration = m_core->getDouble("duration");
    if (duration && seconds >= *duration) {
        stopAndRewind();
        return;
    }
    seekTo(seconds);
    m_stopped = false;
}

int MpvPlayer::playState() {
    requireFile();
    if (m_playing) {
        return kPlaying;
    }
    return m_stopped ? kStopped : kPaused;
}

void MpvPlayer::seekTo(double seconds) {
    const auto id = m_seek.begin(seconds, PendingSeek::Clock::now());
    try {
        m_core->commandAsync(id, {"seek", number(seconds), "absolute+exact"});
    } catch (const PlayerError&) {
        m_seek.clear();
        throw;
    }
    m_lastPosition = seconds;
}

void MpvPlayer::stopAndRewind() {
    // At its end a player stops and goes back to the start, so the next play starts there.
    m_playing = false;
    m_stopped = true;
    withdrawStart();
    m_core->setFlag("pause", true);
    seekTo(0.0);
    refreshBar();
}

void MpvPlayer::stopIfAtEnd() {
    // A paused player moved onto its very end does not report the end until it plays, but it
    // stands at the end all the same.
    if (m_load != Load::Loaded || m_stopped) {
        return;
    }
    const auto position = m_core->getDouble("time-pos");
    const auto duration = m_core->getDouble("duration");
    if (position && duration && *position >= *duration - kEndTolerance) {
        try {
            stopAndRewind();
        } catch (const PlayerError&) {
        }
    }
}

void MpvPlayer::withdrawStart() {
    // A shared coordinator may already be gone while the window tears its players down.
    if (m_coordinator) {
        m_coordinator->withdraw(this);
    }
}

void MpvPlayer::seekSettled() {
    if (readyToStart()) {
        if (m_coordinator) {
            m_coordinator->memberReady();
        }
    }
}

void MpvPlayer::togglePlay() {
    try {
        if (m_playing) {
            pause();
        } else {
            play();
        }
    } catch (const PlayerError&) {
    }
}

void MpvPlayer::refreshBar() {
    if (!m_bar) {
        return;
    }
    m_bar->showPlaying(m_playing);
    if (m_load != Load::Loaded) {
        m_bar->showPosition(0, 0);
        return;
    }
    const double position = currentPosition();
    m_bar->showPosition(position, m_core->getDouble("duration").value_or(0));
}

float MpvPlayer::Left() {
    host();
    return m_left;
}

void MpvPlayer::setLeft(float value) {
    QWidget& h = host();
    m_left = value;
    h.move(pixels(value), h.y());
}

float MpvPlayer::Width() {
    host();
    return m_width;
}

void MpvPlayer::setWidth(float value) {
    QWidget& h = host();
    m_width = value;
    h.resize(std::max(pixels(value), 0), h.height());
}

float MpvPlayer::Height() {
    host();
    return m_height;
}

void MpvPlayer::setHeight(float value) {
    QWidget& h = host();
    m_height = value;
    h.resize(h.width(), std::max(pixels(value), 0));
}
