#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "IMediaPlayer.h"
#include "IPlayerListener.h"
#include "PictureSpacing.h"
#include "PlayerOpen.h"
#include "PlayerPosition.h"
#include "TwipsGeometry.h"

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
// when it starts and when its picture shows; the player knows no other player. What it keeps
// of its open, its position and its place in the window is plain bookkeeping (PlayerOpen,
// PlayerPosition, TwipsGeometry); this class ties it to libmpv's news and to the widgets.
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
    void onFileLost(FileLost told) override;

    void play() override;
    void pause() override;
    double currentPosition() override;
    double positionNow() override;
    Reading positionNowFrom() override;
    void setCurrentPosition(double seconds) override;
    void setRate(double rate) override;
    double currentRate() override { return m_speed; }
    void setKeepPitch(bool keep) override;
    PlayState playState() override;
    std::uint64_t soundReturns() override { return m_soundReturns; }

    float Left() override;
    void setLeft(float twips) override;
    float Width() override;
    void setWidth(float twips) override;
    float Height() override;
    void setHeight(float twips) override;

    static constexpr double kEndTolerance = 0.001;
    static constexpr double kSoundSeeksEarlyBy = 1.0;

private:
    bool readyToStart() const override;
    void startNow() override;
    bool seeking() const override;
    std::chrono::milliseconds pictureDelay() const override;
    bool startsWherePictureLands() const override;
    std::optional<double> landedOffBy() const override;
    void moveStartBy(double seconds) override;
    void holdPicture() override;
    void releasePicture() override;
    void seekLanded();

    void startLibmpv();
    void connectCore();
    void connectVideo();
    void connectBar();

    void requireFile() const;
    QWidget& host() const;
    void open(const std::string& path);
    void sendOpen();
    double readPosition(bool carried) const;
    // The position moves with the pictures, not with the sound alone.
    bool picturesMove() const;
    void abandonOpen();
    void openSucceeded();
    void openRefused(const std::string& reason);
    void tellOpenEnded(std::optional<PlayerError> refusal);
    void giveUpFile(const std::string& reason, bool stopLibmpv);
    bool giveUpIfEndedEarly(std::optional<double> dataEnd);
    void becomeEmpty(bool stopLibmpv);
    void seekTo(double seconds);
    void stopAndRewind();
    void stopPlaying();
    void withdrawStart();
    void withdrawPicture();
    void stopIfAtEnd();
    void checkWhereItStands();
    void showNotice();
    void fitSeeksToFile();
    void readLanding(bool firstSince);
    std::optional<double> soundLanding() const;
    // Where sound alone sent to `sent` lands: there, or at the file's first sound.
    double soundLandingFor(double sent) const;

    void onCommandReplied(quint64 id, int error, qint64 entry);
    void onFileOpened();
    void onFileLoaded();
    void onFileEnded(qint64 entry, int reason, int error);
    void onRestarted();
    void onLandingRead(quint64 id, std::optional<double> seconds);
    void onTimePosReported();
    void onEofReached(bool reached);
    void onPictureRateReported();
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
    FileLost m_fileLost;

    // The open in progress or done, where the player stands, where it lies in the window.
    PlayerOpen m_open;
    PlayerPosition m_position;
    TwipsGeometry m_geometry;
    // Whether the file's sparse pictures are filled in with copies.
    PictureSpacing m_spacing;
    // A file opened before the window was on screen plays without a picture until it is.
    bool m_pictureDeferred = false;
    double m_speed = 1.0;  // as last set
    bool m_autoStart = true;
    PlayState m_state = kPaused;
    std::uint64_t m_soundReturns = 0;
    // Where the last seek was sent, and where a file with pictures landed (read after each
    // landing; the last read asked for counts).
    double m_sentTo = 0.0;
    std::optional<double> m_landedAt;
    std::uint64_t m_landingReads = 0;
    // Where the file's sound begins, read at its first landing after the open if nothing was
    // sent before it; the read still awaited, if any.
    bool m_sentSinceOpen = false;
    std::optional<double> m_firstSound;
    std::uint64_t m_firstSoundRead = 0;
};
