#include <QWidget>
#include <algorithm>
#include <cmath>

#include "MpvPlayer.h"

// Where the player lies in the window, in twips; the host widget holds the pixels.

namespace {

constexpr float kTwipsPerPixel = 15.0f;

int pixels(float twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
float twips(int pixels) {
    return static_cast<float>(pixels) * kTwipsPerPixel;
}

}  // namespace

void MpvPlayer::takeHostGeometry() {
    QWidget& h = host();
    m_left = twips(h.x());
    m_width = twips(h.width());
    m_height = twips(h.height());
}

QWidget& MpvPlayer::host() const {
    if (!m_host) {
        throw PlayerError("the player's window is gone");
    }
    return *m_host;
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
