#include <QWidget>
#include <algorithm>

#include "MpvPlayer.h"

// Where the player lies in the window, in twips; the host widget holds it (TwipsGeometry.h).

QWidget& MpvPlayer::host() const {
    if (!m_host) {
        throw PlayerError("the player's window is gone");
    }
    return *m_host;
}

float MpvPlayer::Left() {
    return m_geometry.read(TwipsGeometry::Side::Left, host().x());
}

void MpvPlayer::setLeft(float value) {
    QWidget& h = host();
    h.move(TwipsGeometry::pixels(value), h.y());
    m_geometry.written(TwipsGeometry::Side::Left, value, h.x());
}

float MpvPlayer::Width() {
    return m_geometry.read(TwipsGeometry::Side::Width, host().width());
}

void MpvPlayer::setWidth(float value) {
    QWidget& h = host();
    h.resize(std::max(TwipsGeometry::pixels(value), 0), h.height());
    m_geometry.written(TwipsGeometry::Side::Width, value, h.width());
}

float MpvPlayer::Height() {
    return m_geometry.read(TwipsGeometry::Side::Height, host().height());
}

void MpvPlayer::setHeight(float value) {
    QWidget& h = host();
    h.resize(h.width(), std::max(TwipsGeometry::pixels(value), 0));
    m_geometry.written(TwipsGeometry::Side::Height, value, h.height());
}
