#include "MpvPlayer.h"

#include <mpv/client.h>
#include <unistd.h>

#include <QVBoxLayout>
#include <charconv>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <utility>

#include "MediaLog.h"
#include "MpvCore.h"
#include "MpvVideoWidget.h"
#include "PlayerControlBar.h"

namespace {

constexpr float kTwipsPerPixel = 15.0f;
// Reply ids of opens and stops; seeks count up from 1 on their own.
constexpr std::uint64_t kOwnRequests = std::uint64_t{1} << 62;

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

// Refuses what libmpv would accept but a player must not: a directory plays as a playlist, and
// a FIFO or a device never ends its probe.
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
      m_video(new MpvVideoWidget(host)),
      m_bar(new PlayerControlBar(host)),
      m_core(std::make_unique<MpvCore>(m_video->nativeId())),
      m_left(twips(host->x())),
      m_width(twips(host->width())),
      m_height(twips(host->height())) {
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

    connect(m_core.get(), &MpvCore::fileStarted, this,
            [this](qint64 entry) { m_startedEntry = entry; });
    connect(m_core.get(), &MpvCore::fileOpened, this, &MpvPlayer::onFileOpened);
    connect(m_core.get(), &MpvCore::fileLoaded, this, &MpvPlayer::onFileLoaded);
    connect(m_core.get(), &MpvCore::fileEnded, this, &MpvPlayer::onFileEnded);
    connect(m_core.get(), &MpvCore::eofReachedChanged, this, &MpvPlayer::onEofReached);
    connect(m_core.get(), &MpvCore::playbackRestarted, this, &MpvPlayer::onRestarted);
    connect(m_core.get(), &MpvCore::commandReplied, this, &MpvPlayer::onCommandReplied);
    connect(m_core.get(), &MpvCore::pictureChanged, this, &MpvPlayer::showNotice);
    // A paused player moved onto its end learns where it landed only from this report.
    connect(m_core.get(), &MpvCore::timePosChanged, this, [this] {
        if (!m_awaitingSettle && readyToStart() &&
            m_core->observed().timePosSerial > m_settledSerial) {
            stopIfAtEnd();
        }
    });

    // Deleting the host first takes the picture's window with it; libmpv must let go of it
    // before, or its next drawing is an X error.
    connect(m_video, &MpvVideoWidget::windowClosing, this, [this] {
        m_load = Load::None;
        m_playing = false;
        m_barTimer.stop();
        if (m_core) {  // not when the player itself is being destroyed
            m_core->shutDown();
        }
    });
    connect(m_video, &MpvVideoWidget::shown, this, [this] {
        if (!m_pictureDeferred) {
            return;  // choosing the track again would restart the picture
        }
        m_pictureDeferred = false;
        try {
            m_core->setStringAsync("vid", "auto");
        } catch (const PlayerError& e) {
            qCWarning(lcMedia) << "cannot show the picture:" << e.what();
        }
    });

    connect(m_bar, &PlayerControlBar::playPauseClicked, this, &MpvPlayer::togglePlay);
    connect(m_bar, &PlayerControlBar::seekRequested, this, [this](double seconds) {
        try {
            setCurrentPosition(seconds);
        } catch (const PlayerError& e) {
            qCWarning(lcMedia) << "seek from the control bar failed:" << e.what();
        }
    });
    connect(m_bar, &PlayerControlBar::volumeRequested, this, [this](int volume) {
        try {
            m_core->setDoubleAsync("volume", volume);
        } catch (const PlayerError& e) {
            qCWarning(lcMedia) << "volume from the control bar failed:" << e.what();
        }
    });
    connect(m_bar, &PlayerControlBar::muteRequested, this, [this](bool muted) {
        try {
            m_core->setFlagAsync("mute", muted);
        } catch (const PlayerError& e) {
            qCWarning(lcMedia) << "mute from the control bar failed:" << e.what();
        }
    });
    m_barTimer.setInterval(250);
    connect(&m_barTimer, &QTimer::timeout, this, &MpvPlayer::refreshBar);
}

MpvPlayer::~MpvPlayer() {
    withdrawStart();
    // libmpv draws into the video widget's window: it must be gone before that window is.
    m_core.reset();
    delete m_video.data();
    delete m_bar.data();
}

void MpvPlayer::setAutoStart(bool autoStart) {
    m_autoStart = autoStart;
}

void MpvPlayer::setURL(const std::string& path) {
    withdrawStart();
    m_playing = false;
    m_stopped = false;
    m_seek.clear();
    m_barTimer.stop();
    try {
        checkReadableFile(path);
        open(path);
    } catch (const PlayerError&) {
        // However the file was refused, the player is left without one, as its caller believes.
        becomeEmpty(true);
        throw;
    }
    showNotice();
    m_barTimer.start();
    refreshBar();
    if (m_autoStart) {
        play();
    }
}

void MpvPlayer::open(const std::string& path) {
    m_fileName = QString::fromStdString(std::filesystem::path(path).filename().string());
    m_load = Load::Loading;
    m_loadEntry = 0;
    m_loadError = 0;
    m_fileLoaded = false;
    m_fileSettled = false;
    m_deferredSeek.reset();
    m_lastPosition = 0.0;
    m_awaitingSettle = true;
    m_core->setFlagAsync("pause", true);
    // libmpv's window stays unmapped if it is made inside one that is not on screen yet: a file
    // opened before that plays without a picture until the window is shown.
    m_pictureDeferred = !m_video->isVisible();
    m_core->setStringAsync("vid", m_pictureDeferred ? "no" : "auto");
    m_loadRequest = ++m_lastRequest + kOwnRequests;
    m_core->commandAsync(m_loadRequest, {"loadfile", path, "replace"});

    // Only the opened-or-refused news is waited for, not the decoders or a frame: libmpv sets
    // them up, decodes and draws on its own threads, and the other players go on drawing.
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration<double>(kOpenTimeoutSeconds);
    while (m_load == Load::Loading && Clock::now() < deadline) {
        const std::chrono::duration<double> left = deadline - Clock::now();
        m_core->handleNextEvent(std::max(left.count(), 0.0));
    }
    if (m_load == Load::Loaded) {
        return;
    }
    const std::string reason = m_load == Load::Refused ? std::string(mpv_error_string(m_loadError))
                                                       : std::string("timed out");
    throw PlayerError("cannot open " + path + ": " + reason);
}

void MpvPlayer::becomeEmpty(bool stopLibmpv) {
    m_load = Load::None;
    m_fileLoaded = false;
    m_fileSettled = false;
    m_deferredSeek.reset();
    m_loadRequest = 0;
    m_loadEntry = 0;
    m_playing = false;
    m_seek.clear();
    withdrawStart();
    m_barTimer.stop();
    if (stopLibmpv) {
        try {
            m_core->commandAsync(++m_lastRequest + kOwnRequests, {"stop"});
        } catch (const PlayerError& e) {
            qCWarning(lcMedia) << "cannot unload the refused file:" << e.what();
        }
    }
    showNotice();
    refreshBar();
}

void MpvPlayer::onCommandReplied(quint64 id, int error, qint64 entry) {
    if (id >= kOwnRequests) {
        if (id != m_loadRequest || m_load != Load::Loading) {
            if (error < 0) {
                qCWarning(lcMedia) << "libmpv command failed:" << mpv_error_string(error);
            }
            return;
        }
        if (error < 0) {
            m_load = Load::Refused;
            m_loadError = error;
            return;
        }
        m_loadEntry = entry;
        // libmpv may have started the entry before this reply was read.
        return;
    }
    m_seek.replied(id, error < 0);
    if (id == m_seekId && error >= 0) {
        m_takenSerial = m_core->observed().timePosSerial;
    }
    if (error < 0) {
        qCWarning(lcMedia) << "libmpv seek failed:" << mpv_error_string(error);
        // The player stays where it was, which only libmpv's reports can tell.
        m_awaitingSettle = false;
        m_settledSerial = 0;
    }
    if (readyToStart() && m_coordinator) {
        m_coordinator->memberReady();
    }
}

void MpvPlayer::onFileOpened() {
    // The news carries no entry: it is about the entry started last.
    if (m_load != Load::Loading || m_loadEntry == 0 || m_startedEntry != m_loadEntry) {
        return;
    }
    if (!m_core->readOpenedFile().hasAudioOrVideo) {
        m_load = Load::Refused;
        m_loadError = MPV_ERROR_NOTHING_TO_PLAY;
        return;
    }
    m_load = Load::Loaded;
    m_takenSerial = m_core->observed().timePosSerial;
}

void MpvPlayer::onFileLoaded() {
    if (m_loadEntry == 0 || m_startedEntry != m_loadEntry) {
        return;
    }
    if (m_load == Load::Loading) {
        m_load = Load::Loaded;  // the opened news was missed
    }
    if (m_load == Load::Loaded) {
        m_fileLoaded = true;
        m_takenSerial = m_core->observed().timePosSerial;
        showNotice();
        if (const auto seconds = std::exchange(m_deferredSeek, std::nullopt)) {
            try {
                sendSeek(*seconds);
            } catch (const PlayerError& e) {
                qCWarning(lcMedia) << "seek after opening failed:" << e.what();
            }
        }
    }
}

void MpvPlayer::onFileEnded(qint64 entry, int reason, int error) {
    if (entry == 0 || entry != m_loadEntry) {
        return;  // an earlier open's file
    }
    if (m_load == Load::Loading) {
        // A playlist redirects to its entries; a player only takes media files.
        m_load = Load::Refused;
        m_loadError = reason == MPV_END_FILE_REASON_ERROR ? error : MPV_ERROR_UNKNOWN_FORMAT;
        return;
    }
    if (m_load == Load::Loaded && reason == MPV_END_FILE_REASON_ERROR) {
        qCWarning(lcMedia) << "libmpv gave up playing" << m_fileName << ":"
                           << mpv_error_string(error);
        becomeEmpty(false);
    }
}

void MpvPlayer::onRestarted() {
    m_seek.restarted();
    if (m_load == Load::Loaded && m_fileLoaded) {
        m_fileSettled = true;
    }
    if (m_load == Load::Loaded && m_awaitingSettle && !m_seek.target(PendingSeek::Clock::now())) {
        m_awaitingSettle = false;
        m_settledSerial = m_takenSerial;
    }
    if (readyToStart() && !m_awaitingSettle && m_core->observed().timePosSerial > m_settledSerial) {
        stopIfAtEnd();
    }
    if (readyToStart()) {
        if (m_coordinator) {
            m_coordinator->memberReady();
        }
    }
}

void MpvPlayer::onEofReached(bool reached) {
    // The news may be stale: a position written since then moved the player away from the end,
    // and that seek's own completion checks for the end again.
    if (!reached || m_load != Load::Loaded || m_stopped || !readyToStart()) {
        return;
    }
    try {
        stopAndRewind();
    } catch (const PlayerError& e) {
        qCWarning(lcMedia) << "cannot rewind at the end:" << e.what();
    }
}

void MpvPlayer::showNotice() {
    if (!m_video) {
        return;
    }
    // Whether there is a picture is known once libmpv has chosen the tracks.
    const bool audioOnly = m_load == Load::Loaded && m_fileLoaded && !m_core->observed().hasPicture;
    m_video->setNotice(audioOnly ? QStringLiteral("\u266A %1\n(audio only)").arg(m_fileName)
                                 : QString());
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
    const bool running = m_playing || !m_core->observed().paused;
    m_playing = false;
    withdrawStart();
    m_core->setFlagAsync("pause", true);
    // libmpv pauses a moment after being told to, maybe a frame further on. Pin it to the
    // position read back now, so that what a caller reads is where the player stands.
    if (running && !m_seek.target(PendingSeek::Clock::now())) {
        seekTo(currentPosition());
    }
    refreshBar();
}

bool MpvPlayer::readyToStart() const {
    return m_fileSettled && !m_seek.target(PendingSeek::Clock::now()).has_value();
}

void MpvPlayer::startNow() {
    if (!m_playing || m_load != Load::Loaded) {
        return;
    }
    try {
        m_core->setFlagAsync("pause", false);
    } catch (const PlayerError& e) {
        qCWarning(lcMedia) << "cannot start playing:" << e.what();
        m_playing = false;
    }
}

double MpvPlayer::currentPosition() {
    requireFile();
    if (const auto target = m_seek.target(PendingSeek::Clock::now())) {
        return *target;
    }
    if (m_awaitingSettle && m_seek.gaveUp(PendingSeek::Clock::now())) {
        m_seek.clear();  // no news of that seek will come
        m_awaitingSettle = false;
        m_settledSerial = 0;
    }
    const auto& observed = m_core->observed();
    if (!m_awaitingSettle && observed.timePosSerial > m_settledSerial && observed.timePos) {
        m_lastPosition = std::max(*observed.timePos, 0.0);
    }
    return m_lastPosition;
}

void MpvPlayer::setCurrentPosition(double seconds) {
    requireFile();
    if (std::isnan(seconds)) {
        throw PlayerError("position is not a number");
    }
    seconds = std::max(seconds, 0.0);
    const auto duration = m_core->observed().duration;
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
    m_seekId = id;
    m_lastPosition = seconds;
    m_awaitingSettle = true;
    if (!m_fileLoaded) {
        // libmpv refuses seeks until it has set the file up; this one is sent then.
        m_deferredSeek = seconds;
        return;
    }
    sendSeek(seconds);
}

void MpvPlayer::sendSeek(double seconds) {
    try {
        m_core->commandAsync(m_seekId, {"seek", number(seconds), "absolute+exact"});
    } catch (const PlayerError&) {
        m_seek.clear();
        throw;
    }
}

void MpvPlayer::stopAndRewind() {
    // At its end a player stops and goes back to the start, so the next play starts there.
    m_playing = false;
    m_stopped = true;
    withdrawStart();
    m_core->setFlagAsync("pause", true);
    seekTo(0.0);
    refreshBar();
}

void MpvPlayer::stopIfAtEnd() {
    // A paused player moved onto its very end does not report the end until it plays, but it
    // stands at the end all the same.
    if (m_load != Load::Loaded || m_stopped) {
        return;
    }
    const auto& observed = m_core->observed();
    if (observed.timePos && observed.duration &&
        *observed.timePos >= *observed.duration - kEndTolerance) {
        try {
            stopAndRewind();
        } catch (const PlayerError& e) {
            qCWarning(lcMedia) << "cannot rewind at the end:" << e.what();
        }
    }
}

void MpvPlayer::withdrawStart() {
    // A shared coordinator may already be gone while the window tears its players down.
    if (m_coordinator) {
        m_coordinator->withdraw(this);
    }
}

void MpvPlayer::togglePlay() {
    try {
        if (m_playing) {
            pause();
        } else {
            play();
        }
    } catch (const PlayerError& e) {
        qCWarning(lcMedia) << "play or pause from the control bar failed:" << e.what();
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
    m_bar->showPosition(currentPosition(), m_core->observed().duration.value_or(0));
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
