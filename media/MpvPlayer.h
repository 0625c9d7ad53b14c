#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <string>

#include "IMediaPlayer.h"
#include "PendingSeek.h"
#include "StartCoordinator.h"

class MpvCore;
class MpvVideoWidget;
class PlayerControlBar;

// A media player on libmpv that fills a host widget with its picture and its own control bar.
// Players created for one window should share one StartCoordinator so that players started
// together really start together; if it goes first, each player then starts on its own.
// Without one, the player keeps a private coordinator.
class MpvPlayer : public QObject, public IMediaPlayer, private StartCoordinator::Member {
    Q_OBJECT
public:
    explicit MpvPlayer(QWidget* host, StartCoordinator* coordinator = nullptr);
    ~MpvPlayer() override;

    void setAutoStart(bool autoStart) override;
    void setURL(const std::string& path) override;

    void play() override;
    void pause() override;
    double currentPosition() override;
    void setCurrentPosition(double seconds) override;
    int playState() override;

    float Left() override;
    void setLeft(float twips) override;
    float Width() override;
    void setWidth(float twips) override;
    float Height() override;
    void setHeight(float twips) override;

    static constexpr int kStopped = 1;
    static constexpr int kPaused = 2;
    static constexpr double kOpenTimeoutSeconds = 5.0;
    static constexpr double kEndTolerance = 0.001;

private:
    enum class Load { None, Loading, Loaded, Refused };

    bool readyToStart() const override;
    void startNow() override;

    void requireFile() const;
    QWidget& host() const;
    void seekTo(double seconds);
    void stopAndRewind();
    void waitForLoad(const std::string& path);
    void showFileKind(const std::string& path);
    void seekSettled();
    void withdrawStart();
    void stopIfAtEnd();

    void onFileLoaded();
    void onFileEnded(int reason, int error);
    void onEofReached(bool reached);
    void onRenderReady();
    void refreshBar();
    void togglePlay();

    QPointer<QWidget> m_host;
    std::unique_ptr<StartCoordinator> m_ownCoordinator;
    QPointer<StartCoordinator> m_coordinator;
    std::unique_ptr<MpvCore> m_core;
    QPointer<MpvVideoWidget> m_video;
    QPointer<PlayerControlBar> m_bar;
    QTimer m_barTimer;

    PendingSeek m_seek;
    Load m_load = Load::None;
    int m_loadError = 0;
    bool m_primed = false;
    bool m_autoStart = true;
    bool m_playing = false;
    bool m_stopped = false;
    double m_lastPosition = 0.0;

    float m_left;
    float m_width;
    float m_height;
};
