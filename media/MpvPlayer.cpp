#include "MpvPlayer.h"

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
#include "SoundReturn.h"
#include "SoundServerWatch.h"

// The player as the window drives it: made, played and paused; and libmpv's news about seeks
// and restarts. Opening a file is in MpvPlayerOpening.cpp, the position and the end in
// MpvPlayerPosition.cpp, the widgets in the host in MpvPlayerWidgets.cpp.

namespace {

// libmpv reads numbers the C way whatever the user's locale.
std::string number(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

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
    connectCore();
    connectVideo();
    connectBar();
    m_openTimer.setSingleShot(true);
    m_openTimer.setInterval(openTimeout);
    connect(&m_openTimer, &QTimer::timeout, this, [this] {
        if (m_open.underWay()) {
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

void MpvPlayer::connectCore() {
    connect(m_core.get(), &MpvCore::fileStarted, this,
            [this](qint64 entry) { m_open.entryStarted(entry); });
    connect(m_core.get(), &MpvCore::fileOpened, this, &MpvPlayer::onFileOpened);
    connect(m_core.get(), &MpvCore::fileLoaded, this, &MpvPlayer::onFileLoaded);
    connect(m_core.get(), &MpvCore::fileEnded, this, &MpvPlayer::onFileEnded);
    connect(m_core.get(), &MpvCore::eofReachedChanged, this, &MpvPlayer::onEofReached);
    connect(m_core.get(), &MpvCore::playbackRestarted, this, &MpvPlayer::onRestarted);
    connect(m_core.get(), &MpvCore::commandReplied, this, &MpvPlayer::onCommandReplied);
    connect(m_core.get(), &MpvCore::doubleRead, this, &MpvPlayer::onLandingRead);
    connect(m_core.get(), &MpvCore::pictureChanged, this, &MpvPlayer::showNotice);
    connect(m_core.get(), &MpvCore::pictureChanged, this, &MpvPlayer::fitSeeksToFile);
    connect(m_core.get(), &MpvCore::pictureRateChanged, this, &MpvPlayer::onPictureRateReported);
    connect(m_core.get(), &MpvCore::timePosChanged, this, &MpvPlayer::onTimePosReported);
}

void MpvPlayer::setAutoStart(bool autoStart) {
    m_autoStart = autoStart;
}

void MpvPlayer::onCommandReplied(quint64 id, int error, qint64 entry) {
    if (PlayerOpen::isOwnRequest(id)) {
        if (!m_open.isThisOpensReply(id)) {
            if (error < 0) {
                qCWarning(lcMedia) << "libmpv command failed:" << m_core->errorText(error);
            }
            return;
        }
        if (error < 0) {
            openRefused(m_core->errorText(error));
            return;
        }
        // libmpv may have started the entry before this reply was read.
        m_open.entryGiven(entry);
        return;
    }
    m_position.seekReplied(id, error < 0, m_core->observed().timePosSerial,
                           PlayerPosition::Clock::now());
    if (error < 0) {
        qCWarning(lcMedia) << "libmpv seek failed:" << m_core->errorText(error);
    }
    if (error < 0 || readyToStart()) {
        seekLanded();
    }
}

void MpvPlayer::onRestarted() {
    const bool firstSinceOpen = !m_sentSinceOpen;
    m_position.restarted(m_open.hasFile(), PlayerPosition::Clock::now());
    m_open.restarted();
    if (readyToStart() &&
        m_position.isCurrent(m_core->observed().timePosSerial, PlayerPosition::Clock::now())) {
        stopIfAtEnd();
    }
    readLanding(firstSinceOpen);  // a start group hears again when the landing is read
    // Told once the landing is taken in, so that a player rewound at its end is not started.
    // The picture landed on reaches the screen a moment later (pictureDelay()).
    seekLanded();
}

void MpvPlayer::requireFile() const {
    if (!m_open.hasFile()) {
        throw PlayerError("no media file loaded");
    }
}

void MpvPlayer::play() {
    requireFile();
    // A player resuming from a pause still has its sound queued in the sound server and is heard
    // at once, while one that has just moved starts from an empty queue: through PulseAudio a
    // tenth of a second later. Every start is made from a position just taken, so that players
    // started together fill their queues alike.
    if (m_state != kPlaying && readyToStart()) {
        seekTo(currentPosition());
    }
    m_state = kPlaying;
    m_listener.startRequested(*this);
    refreshBar();
}

void MpvPlayer::pause() {
    requireFile();
    const bool running = m_state == kPlaying || !m_core->observed().paused;
    // Read while it still plays: sound alone is then read where it is heard, not at libmpv's
    // last report, made when it last handed the sound server more sound (with a WMA through
    // PipeWire up to 80 ms before).
    const double standing = currentPosition();
    stopPlaying();
    withdrawStart();
    m_core->setFlagAsync("pause", true);
    // libmpv pauses a moment after being told to, maybe a frame further on. Pin it to the
    // position read back now, so that what a caller reads is where the player stands.
    if (running && !m_position.seeking(PlayerPosition::Clock::now())) {
        seekTo(standing);
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
    return m_open.mayStart() && !m_position.seeking(PlayerPosition::Clock::now());
}

void MpvPlayer::startNow() {
    if (m_state != kPlaying || !m_open.hasFile()) {
        return;
    }
    try {
        m_core->setFlagAsync("pause", false);
    } catch (const PlayerError& e) {
        qCWarning(lcMedia) << "cannot start playing:" << e.what();
        stopPlaying();
    }
}

IMediaPlayer::PlayState MpvPlayer::playState() {
    requireFile();
    return m_state;
}

void MpvPlayer::stopPlaying() {
    if (m_state == kPlaying) {
        m_state = kPaused;
    }
}

void MpvPlayer::seekTo(double seconds) {
    m_listener.seekBegan(*this);
    m_sentTo = seconds;
    m_sentSinceOpen = true;
    const auto id = m_position.seekBegins(seconds, PlayerPosition::Clock::now());
    try {
        m_core->commandAsync(id, {"seek", number(seconds), "absolute+exact"});
    } catch (const PlayerError&) {
        m_position.seekNotSent();
        throw;
    }
}

void MpvPlayer::stopAndRewind() {
    // At its end a player stops and goes back to the start, so the next play starts there.
    m_state = kStopped;
    withdrawStart();
    m_core->setFlagAsync("pause", true);
    seekTo(0.0);
    refreshBar();
}

void MpvPlayer::withdrawStart() {
    m_listener.startWithdrawn(*this);
}
