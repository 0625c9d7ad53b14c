#include "MpvPlayer.h"

#include <mpv/client.h>
#include <unistd.h>

#include <filesystem>
#include <utility>

#include "MediaLog.h"
#include "MpvCore.h"
#include "MpvLibrary.h"
#include "MpvVideoWidget.h"

// Opening a file: started by setURL, ended by libmpv's news about the file or by the open's
// timeout; and libmpv's news about the file afterwards. What the news is about, and what it
// leaves, is PlayerOpen's to say.

namespace {

std::function<void(const PlayerError&)>& startFailureReport() {
    static std::function<void(const PlayerError&)> report = [](const PlayerError& e) {
        qCWarning(lcMedia) << "libmpv did not start:" << e.what();
    };
    return report;
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

void MpvPlayer::onStartFailure(std::function<void(const PlayerError&)> report) {
    startFailureReport() = std::move(report);
}

void MpvPlayer::startLibmpv() {
    try {
        m_core->start(m_video && m_video->isVisible());
    } catch (const PlayerError& e) {
        startFailureReport()(e);
        if (m_open.waitsForLibmpv()) {
            openRefused(e.what());
        }
        return;
    }
    // libmpv's window is kept from when the player is on screen; that may have come first.
    if (m_video && m_video->isVisible()) {
        showNotice();
    }
    if (m_open.waitsForLibmpv()) {
        try {
            sendOpen();
        } catch (const PlayerError& e) {
            openRefused(e.what());
        }
    }
}

void MpvPlayer::setURL(const std::string& path) {
    m_open.replaceEarlier();
    withdrawStart();
    m_state = kPaused;
    m_position.dropSeek();
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
    refreshBar();
}

void MpvPlayer::onOpenEnded(OpenEnded told) {
    m_openEnded = std::move(told);
}

void MpvPlayer::onFileLost(FileLost told) {
    m_fileLost = std::move(told);
}

void MpvPlayer::open(const std::string& path) {
    m_open.begin(path);
    m_position.fileOpening();
    m_sentSinceOpen = false;
    m_firstSound.reset();
    m_firstSoundRead = 0;
    if (m_core->isShutDown()) {
        throw PlayerError("the player was shut down with its window");
    }
    // The open ends with libmpv's news: the file refused, or opened with a sound or picture
    // track that libmpv can decode. Its decoders and picture are set up, and its frames decoded
    // and drawn, on libmpv's threads afterwards; a seek or a start asked for meanwhile waits
    // for them. An open asked for while libmpv still loads is sent by startLibmpv().
    if (m_core->started() || mpvLoadEnded()) {
        sendOpen();
    }
    m_openTimer.start();
}

void MpvPlayer::sendOpen() {
    m_core->setFlagAsync("pause", true);
    // libmpv's window stays unmapped if it is made inside one that is not on screen yet: a file
    // opened before that plays without a picture until the window is shown.
    m_pictureDeferred = !m_video->isVisible();
    m_core->setStringAsync("vid", m_pictureDeferred ? "no" : "auto");
    // libmpv keeps its filters from file to file; the next file's pictures are its own.
    if (m_spacing.fileOpening()) {
        m_core->setStringAsync("vf", "");
    }
    m_core->commandAsync(m_open.send(), {"loadfile", m_open.path(), "replace"});
}

void MpvPlayer::openSucceeded() {
    m_openTimer.stop();
    m_barTimer.start();
    refreshBar();
    if (m_autoStart) {
        try {
            play();
        } catch (const PlayerError& e) {
            qCWarning(lcMedia) << "cannot start the file just opened:" << e.what();
        }
    }
    tellOpenEnded(std::nullopt);
}

void MpvPlayer::openRefused(const std::string& reason) {
    PlayerError refusal("cannot open " + m_open.path() + ": " + reason);
    becomeEmpty(true);
    tellOpenEnded(std::move(refusal));
}

void MpvPlayer::abandonOpen() {
    m_openTimer.stop();
}

void MpvPlayer::tellOpenEnded(std::optional<PlayerError> refusal) {
    // Told in a turn of its own: whoever is told may show a message and wait for it, which must
    // not hold libmpv, waiting in the open's hook, or the rest of its news.
    QTimer::singleShot(0, this, [this, serial = m_open.serial(), refusal = std::move(refusal)] {
        if (!m_open.isCurrent(serial)) {
            qCDebug(lcMedia) << "news of an open that a later one replaced dropped";
            return;
        }
        if (m_openEnded) {
            m_openEnded(refusal ? &*refusal : nullptr);
        } else if (refusal) {
            qCWarning(lcMedia) << refusal->what();
        }
    });
}

void MpvPlayer::becomeEmpty(bool stopLibmpv) {
    abandonOpen();
    m_open.clear();
    stopPlaying();
    m_position.dropSeek();
    withdrawStart();
    withdrawPicture();
    m_barTimer.stop();
    // A libmpv not started yet holds no file.
    if (stopLibmpv && m_core->started()) {
        try {
            m_core->commandAsync(m_open.nextRequest(), {"stop"});
        } catch (const PlayerError& e) {
            qCWarning(lcMedia) << "cannot unload the refused file:" << e.what();
        }
    }
    showNotice();
    refreshBar();
}

void MpvPlayer::onFileOpened() {
    if (!m_open.underWay() || !m_open.startedIsThisOpens()) {
        return;
    }
    if (!m_core->readOpenedFile().hasAudioOrVideo) {
        openRefused(m_core->errorText(MPV_ERROR_NOTHING_TO_PLAY));
        return;
    }
    // Opened, but not yet taken: libmpv may still give the file up while it sets up its
    // decoders (a codec it names but cannot decode). The open ends once they are set up, so
    // such a file is refused as one that cannot be opened, not left in the window unplayable.
    m_position.fileTaken(m_core->observed().timePosSerial);
}

void MpvPlayer::onFileLoaded() {
    if (!m_open.startedIsThisOpens()) {
        return;
    }
    const bool openedNow = m_open.loaded();
    if (m_open.hasFile()) {
        m_position.fileTaken(m_core->observed().timePosSerial);
        showNotice();
        fitSeeksToFile();
    }
    if (openedNow) {
        openSucceeded();
    }
}

void MpvPlayer::onFileEnded(qint64 entry, int reason, int error) {
    if (!m_open.isThisOpensEntry(entry)) {
        return;  // an earlier open's file
    }
    if (m_open.underWay()) {
        // Ended before it opened: refused, or a playlist that redirects to its entries;
        // a player only takes media files.
        openRefused(m_core->errorText(
            reason == MPV_END_FILE_REASON_ERROR ? error : MPV_ERROR_UNKNOWN_FORMAT));
        return;
    }
    // Given up while playing: libmpv holds the file no longer.
    if (m_open.hasFile() && reason == MPV_END_FILE_REASON_ERROR) {
        giveUpFile(m_core->errorText(error), false);
    }
}

void MpvPlayer::giveUpFile(const std::string& reason, bool stopLibmpv) {
    PlayerError lost("cannot play " + m_open.path() + " any further: " + reason);
    qCWarning(lcMedia) << lost.what();
    becomeEmpty(stopLibmpv);
    // In a turn of its own, as the end of an open is told, and only while no other file came.
    QTimer::singleShot(0, this, [this, serial = m_open.serial(), lost = std::move(lost)] {
        if (!m_open.isCurrent(serial) || m_open.underWay() || m_open.hasFile()) {
            qCDebug(lcMedia) << "news of a lost file that a later open replaced dropped";
            return;
        }
        if (m_fileLost) {
            m_fileLost(lost);
        }
    });
}

void MpvPlayer::showNotice() {
    if (!m_video) {
        return;
    }
    // Whether there is a picture is known once libmpv has chosen the tracks.
    const bool audioOnly = m_open.hasFile() && !m_core->observed().hasPicture;
    // libmpv keeps its window between files, over the notice: without a picture it may go.
    try {
        if (m_core && m_core->started()) {  // else when it starts
            m_core->setStringAsync("force-window", audioOnly ? "no" : "yes");
        }
    } catch (const PlayerError& e) {
        qCWarning(lcMedia) << "cannot keep or drop libmpv's window:" << e.what();
    }
    const QString name = QString::fromStdString(m_open.fileName());
    m_video->setNotice(audioOnly ? QStringLiteral("\u266A %1\n(audio only)").arg(name) : QString());
}
