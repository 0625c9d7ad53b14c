#include "PlayerControlBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <cmath>

namespace {

// The seek slider counts tenths of a second.
constexpr double kSliderSteps = 10.0;

QToolButton* toolButton(QWidget* parent, const QIcon& icon, const QString& tip) {
    auto* button = new QToolButton(parent);
    button->setIcon(icon);
    button->setToolTip(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

PlayerControlBar::PlayerControlBar(QWidget* parent)
    : QWidget(parent),
      m_playIcon(style()->standardIcon(QStyle::SP_MediaPlay)),
      m_pauseIcon(style()->standardIcon(QStyle::SP_MediaPause)),
      m_volumeIcon(style()->standardIcon(QStyle::SP_MediaVolume)),
      m_mutedIcon(style()->standardIcon(QStyle::SP_MediaVolumeMuted)),
      m_playPause(toolButton(this, m_playIcon, tr("Play"))),
      m_seek(new QSlider(Qt::Horizontal, this)),
      m_time(new QLabel(this)),
      m_mute(toolButton(this, m_volumeIcon, tr("Mute"))),
      m_volume(new QSlider(Qt::Horizontal, this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 0, 2, 0);
    row->setSpacing(2);
    row->addWidget(m_playPause);
    row->addWidget(m_seek, 1);
    row->addWidget(m_time);
    row->addWidget(m_mute);
    row->addWidget(m_volume);

    m_seek->setEnabled(false);
    m_seek->setFocusPolicy(Qt::NoFocus);
    m_time->setText(clockText(0) + " / " + clockText(0));
    m_mute->setCheckable(true);
    m_volume->setRange(0, 100);
    m_volume->setFixedWidth(48);
    m_volume->setFocusPolicy(Qt::NoFocus);

    connect(m_playPause, &QToolButton::clicked, this, &PlayerControlBar::playPauseClicked);
    // Seek once the user lets go or clicks, not on every pixel of a drag.
    connect(m_seek, &QSlider::sliderReleased, this,
            [this] { emit seekRequested(m_seek->value() / kSliderSteps); });
    connect(m_seek, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove) {
            emit seekRequested(m_seek->sliderPosition() / kSliderSteps);
        }
    });
    connect(m_volume, &QSlider::valueChanged, this, &PlayerControlBar::volumeRequested);
    connect(m_mute, &QToolButton::toggled, this, &PlayerControlBar::muteRequested);
}

void PlayerControlBar::showPlaying(bool playing) {
    if (playing == m_playing) {
        return;
    }
    m_playing = playing;
    m_playPause->setIcon(playing ? m_pauseIcon : m_playIcon);
    m_playPause->setToolTip(playing ? tr("Pause") : tr("Play"));
}

void PlayerControlBar::showPosition(double seconds, double duration) {
    m_time->setText(clockText(seconds) + " / " + clockText(duration));
    m_seek->setEnabled(duration > 0);
    if (m_seek->isSliderDown()) {
        return;
    }
    const QSignalBlocker quiet(m_seek);
    m_seek->setRange(0, static_cast<int>(std::lround(std::max(duration, 0.0) * kSliderSteps)));
    m_seek->setValue(static_cast<int>(std::lround(seconds * kSliderSteps)));
}

void PlayerControlBar::showVolume(int volume, bool muted) {
    const QSignalBlocker quietVolume(m_volume);
    const QSignalBlocker quietMute(m_mute);
    m_volume->setValue(volume);
    m_mute->setChecked(muted);
    if (muted != m_muted) {
        m_muted = muted;
        m_mute->setIcon(muted ? m_mutedIcon : m_volumeIcon);
    }
}

QString PlayerControlBar::clockText(double seconds) {
    const long total = std::max(0L, std::lround(std::floor(seconds)));
    return QStringLiteral("%1:%2").arg(total / 60).arg(total % 60, 2, 10, QLatin1Char('0'));
}
