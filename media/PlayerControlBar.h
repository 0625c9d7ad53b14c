#pragma once

#include <QIcon>
#include <QWidget>

class QLabel;
class QSlider;
class QToolButton;

// One player's own control bar: play/pause, a seek slider, position and duration, volume and
// mute. It only shows what it is told and reports what the user does; the player acts on it.
class PlayerControlBar : public QWidget {
    Q_OBJECT
public:
    explicit PlayerControlBar(QWidget* parent = nullptr);

    void showPlaying(bool playing);
    // duration <= 0 means no file: the slider is disabled.
    void showPosition(double seconds, double duration);
    void showVolume(int volume, bool muted);

    static QString clockText(double seconds);

signals:
    void playPauseClicked();
    void seekRequested(double seconds);
    void volumeRequested(int volume);
    void muteRequested(bool muted);

private:
    // The style makes a new icon, with new pixmaps, on every call, and the player refreshes the
    // bar on every tick: made once, and set only when the state changes, they cost nothing.
    QIcon m_playIcon;
    QIcon m_pauseIcon;
    QIcon m_volumeIcon;
    QIcon m_mutedIcon;
    bool m_playing = false;
    bool m_muted = false;
    QToolButton* m_playPause;
    QSlider* m_seek;
    QLabel* m_time;
    QToolButton* m_mute;
    QSlider* m_volume;
};
