#include "MpvPlayer.h"

#include <mpv/client.h>

#include <QVBoxLayout>
#include <charconv>
#include <chrono>
#include <cmath>
#include <utility>

#include "MediaLog.h"
#include "MpvCore.h"
#include "MpvLibrary.h"
#include "MpvVideoWidget.h"
#include "PlayerControlBar.h"
#include "SoundClock.h"
#include "SoundReturn.h"
#include "SoundServerWatch.h"

namespace {

std::function<void(const PlayerError&)>& startFailureReport() {
    static std::function<void(const PlayerError&)> report = [](const PlayerError& e) {
        qCWarning(lcMedia) << "libmpv did not start:" << e.what();
    };
    return report;
}

// libmpv reads numbers the C way whatever the user's locale.
std::string number(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

void MpvPlayer::onStartFailure(std::function<void(const PlayerError&)> report) {
    startFailureReport() = std::move(report);
}

void MpvPlayer::startLibmpv() {
    try {
        m_core->start(m_video && m_video->isVisible());
    } catch (const PlayerError& e) {
        startFailureReport()(e);
        if (m_openWaitsForLibmpv) {
            openRefused(e.what());
        }
        return;
    }
    // libmpv's window is kept from when the player is on screen; that may have come first.
    if (m_video && m_video->isVisible()) {
        showNotice();
    }
    if (std::exchange(m_openWaitsForLibmpv, false)) {
        try {
            sendOpen();
        } catch (const PlayerError& e) {
            openRefused(e.what());
        }
    }
}

MpvPlayer::MpvPlayer(QWidget* host, IPlayerListener& listener,
                     std::chrono::milliseconds openTimeout)
    : m_host(host),
      m_listener(listener),
      m_video(new MpvVideoWidget(host)),
      m_bar(new PlayerControlBar(host)),
      m_core(std::make_unique<MpvCore>(m_video->nativeId())),
      m_soundReturn(std::make_unique<SoundReturn>(*m_core, SoundServerWatch::instance(),
                                                  [this] { ++m_soundReturns; })) {
    // libmpv loads once the window has been shown, beside its first painting: while it loads,
    // every other load and symbol lookup in the process waits, and showing the window does
    // both. The player starts it once it is there, or at its first command if that is sooner.
    QTimer::singleShot(0, this, [] { preloadMpv(); });
    whenMpvLoaded(this, [this] { startLibmpv(); });
    takeHostGeometry();
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
        withdrawPicture();
        abandonOpen();  // the window goes: nobody waits for the news
        m_load = Load::None;
        m_playing = false;
        m_barTimer.stop();
        if (m_core) {  // not when the player itself is being destroyed
            m_core->shutDown();
        }
    });
    connect(m_video, &MpvVideoWidget::shown, this, [this] {
        // libmpv keeps its window from now on, so that an open need not wait for one to be
        // made; not before the window is on screen, where it would slow the start.
        QTimer::singleShot(0, this, &MpvPlayer::showNotice);
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
    m_openTimer.setSingleShot(true);
    m_openTimer.setInterval(openTimeout);
    connect(&m_openTimer, &QTimer::timeout, this, [this] {
        if (m_load == Load::Loading) {
            openRefused("timed out");
        }
    });
}

MpvPlayer::~MpvPlayer() {
    withdrawStart();
    withdrawPicture();
    // libmpv draws into the video widget's window: it must be gone before that window is.
    m_core.reset();
    delete m_video.data();
    delete m_bar.data();
}

void MpvPlayer::setAutoStart(bool autoStart) {
    m_autoStart = autoStart;
}

void MpvPlayer::onCommandReplied(quint64 id, int error, qint64 entry) {
    if (id >= kOwnRequests) {
        if (id != m_loadRequest || m_load != Load::Loading) {
            if (error < 0) {
                qCWarning(lcMedia) << "libmpv command failed:" << m_core->errorText(error);
            }
            return;
        }
        if (error < 0) {
            m_loadError = error;
            openRefused(m_core->errorText(error));
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
        qCWarning(lcMedia) << "libmpv seek failed:" << m_core->errorText(error);
        // The player stays where it was, which only libmpv's reports can tell.
        m_awaitingSettle = false;
        m_settledSerial = 0;
    }
    if (error < 0 || readyToStart()) {
        seekLanded();
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
    // Told once the landing is taken in, so that a player rewound at its end is not started.
    // The picture landed on reaches the screen a moment later (pictureDelay()).
    seekLanded();
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

void MpvPlayer::requireFile() const {
    if (m_load != Load::Loaded) {
        throw PlayerError("no media file loaded");
    }
}

void MpvPlayer::play() {
    requireFile();
    // A player resuming from a pause still has its sound queued in the sound server and is heard
    // at once, while one that has just moved starts from an empty queue: through PulseAudio a
    // tenth of a second later. Every start is made from a position just taken, so that players
    // started together fill their queues alike.
    if (!m_playing && m_fileSettled && !m_seek.target(PendingSeek::Clock::now())) {
        seekTo(currentPosition());
    }
    m_playing = true;
    m_stopped = false;
    m_listener.startRequested(*this);
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

void MpvPlayer::setRate(double rate) {
    requireFile();
    if (!std::isfinite(rate) || rate <= 0) {
        throw PlayerError("speed is not a positive number");
    }
    m_core->setDoubleAsync("speed", rate);
    m_speed = rate;
}

void MpvPlayer::setKeepPitch(bool keep) {
    // The filter in the chain for good, so that the follower's small changes of speed never
    // put it in or take it out.
    m_core->setStringAsync("af", keep ? "scaletempo2" : "");
    m_core->setFlagAsync("audio-pitch-correction", keep);
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
    return readPosition(positionFromSound());
}

bool MpvPlayer::positionFromSound() {
    requireFile();
    const auto& observed = m_core->observed();
    return !observed.hasPicture || observed.stillPicture;
}

double MpvPlayer::positionNow() {
    return readPosition(true);
}

// The position of the last report; carried on to this moment (SoundClock) while playing if
// `carried`. A picture's position stays on it while it is on screen.
double MpvPlayer::readPosition(bool carried) {
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
    if (m_awaitingSettle || observed.timePosSerial <= m_settledSerial || !observed.timePos) {
        return m_lastPosition;
    }
    m_lastPosition = std::max(*observed.timePos, 0.0);
    if (carried && m_playing && !observed.paused && !observed.eofReached) {
        if (const auto now = observed.sound.position(SoundClock::Clock::now(), m_speed)) {
            return std::max(*now, 0.0);
        }
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
    m_listener.seekBegan(*this);
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
    m_listener.startWithdrawn(*this);
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
