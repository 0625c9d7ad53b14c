#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "IMediaPlayer.h"
#include "IPlayerListener.h"
#include "PendingSeek.h"

class MpvCore;
class MpvVideoWidget;
class PlayerControlBar;
class SoundReturn;

// A media player on libmpv that fills a host widget with its picture and its own control bar.
// libmpv draws the picture into a native child window on its own threads; the GUI thread only
// sends commands and reads what libmpv last reported; it never waits for libmpv. An open is
// started by setURL and ends with libmpv's news that the file is open or refused, or with the
// open's timeout; a file opened before libmpv itself has loaded is handed over once it is there.
// The player announces its starts, seeks and landings to its listener, which alone decides
// when it starts and when its picture shows; the player knows no other player.
class MpvPlayer : public QObject, public IMediaPlayer, private IListenedPlayer {
    Q_OBJECT
public:
    static constexpr double kOpenTimeoutSeconds = 5.0;
    static constexpr std::chrono::milliseconds kOpenTimeout{
        static_cast<long>(kOpenTimeoutSeconds * 1000)};

    // listener: outlives the player. openTimeout: how long an open may take before the player
    // gives the file up.
    MpvPlayer(QWidget* host, IPlayerListener& listener,
              std::chrono::milliseconds openTimeout = kOpenTimeout);
    ~MpvPlayer() override;

    // Where a libmpv that cannot be loaded or started is reported when a player finds out on
    // its own, after it was made (a command that finds out throws instead). Logs by default.
    static void onStartFailure(std::function<void(const PlayerError&)> report);

    void setAutoStart(bool autoStart) override;
    void setURL(const std::string& path) override;
    void onOpenEnded(OpenEnded told) override;

    void play() override;
    void pause() override;
    double currentPosition() override;
    double positionNow() override;
    bool positionFromSound() override;
    void setCurrentPosition(double seconds) override;
    void setRate(double rate) override;
    double currentRate() override { return m_speed; }
    void setKeepPitch(bool keep) override;
    int playState() override;
    std::uint64_t soundReturns() override { return m_soundReturns; }

    float Left() override;
    void setLeft(float twips) override;
    float Width() override;
    void setWidth(float twips) override;
    float Height() override;
    void setHeight(float twips) override;

    static constexpr int kStopped = 1;
    static constexpr int kPaused = 2;
    static constexpr double kEndTolerance = 0.001;

private:
    enum class Load { None, Loading, Loaded };
    // Reply ids of opens and stops; seeks count up from 1 on their own.
    static constexpr std::uint64_t kOwnRequests = std::uint64_t{1} << 62;

    bool readyToStart() const override;
    void startNow() override;
    bool seeking() const override;
    std::chrono::milliseconds pictureDelay() const override;
    void holdPicture() override;
    void releasePicture() override;
    void seekLanded();

    void startLibmpv();

    void requireFile() const;
    QWidget& host() const;
    void takeHostGeometry();
    void open(const std::string& path);
    void sendOpen();
    double readPosition(bool carried);
    void abandonOpen();
    void openSucceeded();
    void openRefused(const std::string& reason);
    void tellOpenEnded(std::optional<PlayerError> refusal);
    void becomeEmpty(bool stopLibmpv);
    void seekTo(double seconds);
    void sendSeek(double seconds);
    void stopAndRewind();
    void withdrawStart();
    void withdrawPicture();
    void stopIfAtEnd();
    void showNotice();

    void onCommandReplied(quint64 id, int error, qint64 entry);
    void onFileOpened();
    void onFileLoaded();
    void onFileEnded(qint64 entry, int reason, int error);
    void onRestarted();
    void onEofReached(bool reached);
    void refreshBar();
    void togglePlay();

    QPointer<QWidget> m_host;
    IPlayerListener& m_listener;
    QPointer<MpvVideoWidget> m_video;
    QPointer<PlayerControlBar> m_bar;
    std::unique_ptr<MpvCore> m_core;
    std::unique_ptr<SoundReturn> m_soundReturn;
    QTimer m_barTimer;
    QTimer m_openTimer;
    OpenEnded m_openEnded;

    // The open in progress or done: its loadfile request, the playlist entry libmpv gave it,
    // and the entry libmpv started last. Events of any other entry are an earlier open's.
    Load m_load = Load::None;
    std::uint64_t m_loadRequest = 0;
    std::uint64_t m_lastRequest = 0;
    std::int64_t m_loadEntry = 0;
    std::int64_t m_startedEntry = 0;
    int m_loadError = 0;
    // The file of the open in progress, and whether it still waits for libmpv to load.
    std::string m_openPath;
    bool m_openWaitsForLibmpv = false;
    // Counts the opens, so that news queued for one that a later open replaced is dropped.
    std::uint64_t m_openSerial = 0;
    // libmpv first opens the file, then sets up its tracks; the player starts only once that
    // is done and the first picture and sound are ready.
    bool m_fileLoaded = false;
    bool m_fileSettled = false;
    std::optional<double> m_deferredSeek;
    QString m_fileName;
    bool m_pictureDeferred = false;

    PendingSeek m_seek;
    // Positions reported before libmpv took the last seek (or the file) are stale; until the
    // seek has settled and a newer one arrived, the seek's target stands.
    bool m_awaitingSettle = false;
    std::uint64_t m_seekId = 0;
    std::uint64_t m_takenSerial = 0;
    std::uint64_t m_settledSerial = 0;
    double m_lastPosition = 0.0;
    double m_speed = 1.0;  // as last set

    bool m_autoStart = true;
    bool m_playing = false;
    bool m_stopped = false;
    std::uint64_t m_soundReturns = 0;

    float m_left = 0.0f;
    float m_width = 0.0f;
    float m_height = 0.0f;
};
