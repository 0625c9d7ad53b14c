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
// timeout; and libmpv's news about the file afterwards.

namespace {

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

void MpvPlayer::setURL(const std::string& path) {
    ++m_openSerial;
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
    refreshBar();
}

void MpvPlayer::onOpenEnded(OpenEnded told) {
    m_openEnded = std::move(told);
}

void MpvPlayer::open(const std::string& path) {
    m_fileName = QString::fromStdString(std::filesystem::path(path).filename().string());
    m_openPath = path;
    m_load = Load::Loading;
    m_loadRequest = 0;
    m_loadEntry = 0;
    m_loadError = 0;
    m_fileLoaded = false;
    m_fileSettled = false;
    m_deferredSeek.reset();
    m_lastPosition = 0.0;
    m_awaitingSettle = true;
    m_openWaitsForLibmpv = false;
    if (m_core->isShutDown()) {
        throw PlayerError("the player was shut down with its window");
    }
    // The open ends with libmpv's news: the file refused, or opened with a sound or picture
    // track that libmpv can decode. Its decoders and picture are set up, and its frames decoded
    // and drawn, on libmpv's threads afterwards; a seek or a start asked for meanwhile waits
    // for them.
    if (!m_core->started() && !mpvLoadEnded()) {
        m_openWaitsForLibmpv = true;  // handed over by startLibmpv()
    } else {
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
    m_loadRequest = ++m_lastRequest + kOwnRequests;
    m_core->commandAsync(m_loadRequest, {"loadfile", m_openPath, "replace"});
}

void MpvPlayer::openSucceeded() {
    m_load = Load::Loaded;
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
    PlayerError refusal("cannot open " + m_openPath + ": " + reason);
    becomeEmpty(true);
    tellOpenEnded(std::move(refusal));
}

void MpvPlayer::abandonOpen() {
    m_openTimer.stop();
    m_openWaitsForLibmpv = false;
}

void MpvPlayer::tellOpenEnded(std::optional<PlayerError> refusal) {
    // Told in a turn of its own: whoever is told may show a message and wait for it, which must
    // not hold libmpv, waiting in the open's hook, or the rest of its news.
    QTimer::singleShot(0, this, [this, serial = m_openSerial, refusal = std::move(refusal)] {
        if (serial != m_openSerial) {
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
    m_load = Load::None;
    m_fileLoaded = false;
    m_fileSettled = false;
    m_deferredSeek.reset();
    m_loadRequest = 0;
    m_loadEntry = 0;
    m_playing = false;
    m_seek.clear();
    withdrawStart();
    withdrawPicture();
    m_barTimer.stop();
    // A libmpv not started yet holds no file.
    if (stopLibmpv && m_core->started()) {
        try {
            m_core->commandAsync(++m_lastRequest + kOwnRequests, {"stop"});
        } catch (const PlayerError& e) {
            qCWarning(lcMedia) << "cannot unload the refused file:" << e.what();
        }
    }
    showNotice();
    refreshBar();
}

void MpvPlayer::onFileOpened() {
    // The news carries no entry: it is about the entry started last.
    if (m_load != Load::Loading || m_loadEntry == 0 || m_startedEntry != m_loadEntry) {
        return;
    }
    if (!m_core->readOpenedFile().hasAudioOrVideo) {
        m_loadError = MPV_ERROR_NOTHING_TO_PLAY;
        openRefused(m_core->errorText(m_loadError));
        return;
    }
    // Opened, but not yet taken: libmpv may still give the file up while it sets up its
    // decoders (a codec it names but cannot decode). The open ends once they are set up, so
    // such a file is refused as one that cannot be opened, not left in the window unplayable.
    m_takenSerial = m_core->observed().timePosSerial;
}

void MpvPlayer::onFileLoaded() {
    if (m_loadEntry == 0 || m_startedEntry != m_loadEntry) {
        return;
    }
    const bool openedNow = m_load == Load::Loading;
    if (openedNow) {
        m_load = Load::Loaded;
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
    if (openedNow) {
        openSucceeded();
    }
}

void MpvPlayer::onFileEnded(qint64 entry, int reason, int error) {
    if (entry == 0 || entry != m_loadEntry) {
        return;  // an earlier open's file
    }
    if (m_load == Load::Loading) {
        // Ended before it opened: refused, or a playlist that redirects to its entries;
        // a player only takes media files.
        m_loadError = reason == MPV_END_FILE_REASON_ERROR ? error : MPV_ERROR_UNKNOWN_FORMAT;
        openRefused(m_core->errorText(m_loadError));
        return;
    }
    // Given up while playing, or while its decoders were set up after the open had returned
    // (a track libmpv named but no decoder took): the player empties itself.
    if (m_load == Load::Loaded && (reason == MPV_END_FILE_REASON_ERROR || !m_fileLoaded)) {
        qCWarning(lcMedia) << "libmpv gave up" << (m_fileLoaded ? "playing" : "setting up")
                           << m_fileName << ":" << m_core->errorText(error);
        becomeEmpty(false);
    }
}

void MpvPlayer::showNotice() {
    if (!m_video) {
        return;
    }
    // Whether there is a picture is known once libmpv has chosen the tracks.
    const bool audioOnly = m_load == Load::Loaded && m_fileLoaded && !m_core->observed().hasPicture;
    // libmpv keeps its window between files, over the notice: without a picture it may go.
    try {
        if (m_core && m_core->started()) {  // else when it starts
            m_core->setStringAsync("force-window", audioOnly ? "no" : "yes");
        }
    } catch (const PlayerError& e) {
        qCWarning(lcMedia) << "cannot keep or drop libmpv's window:" << e.what();
    }
    m_video->setNotice(audioOnly ? QStringLiteral("\u266A %1\n(audio only)").arg(m_fileName)
                                 : QString());
}
