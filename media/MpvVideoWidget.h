#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>

class QLabel;

// The native window a player's picture is drawn into by libmpv itself, on libmpv's threads: a
// new frame is one swap of this small window, never a repaint of the main window. Black while
// there is no picture; shows a notice instead of a picture (e.g. for a file without video).
class MpvVideoWidget : public QWidget {
    Q_OBJECT
public:
    explicit MpvVideoWidget(QWidget* parent = nullptr);
    ~MpvVideoWidget() override;

    // The native window for libmpv's "wid", created on first call; 0 where libmpv cannot draw
    // into it (Qt not on X11).
    std::int64_t nativeId();
    void setNotice(const QString& notice);
    QString notice() const;
    // While held, the screen keeps showing the picture it shows now; libmpv goes on drawing
    // off screen, and the release shows what it drew last (PictureHold.h).
    void holdPicture();
    void releasePicture();

signals:
    // libmpv cannot show a picture in a window that was never on screen when it began drawing.
    void shown();
    // Emitted while the native window still exists, before it is destroyed with this widget
    // (e.g. when the host is deleted before the player) or alone (when Qt destroys the top
    // level first): whoever draws into it must stop now. May come more than once.
    // Receivers must not touch the widget.
    void windowClosing();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_notice;
    bool m_held = false;
    bool m_exposedWhileHeld = false;
};
