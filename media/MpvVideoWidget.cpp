#include "MpvVideoWidget.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPlatformSurfaceEvent>
#include <QResizeEvent>
#include <QWindow>

#include "PictureHold.h"

MpvVideoWidget::MpvVideoWidget(QWidget* parent) : QWidget(parent), m_notice(new QLabel(this)) {
    // Only this window needs to be native: libmpv draws into it. Its ancestors stay ordinary
    // widgets, so the rest of the window is composed as before.
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setAttribute(Qt::WA_NativeWindow);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::black);
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);

    // libmpv's own window covers this one while it shows a picture, so the notice is only seen
    // when there is none.
    m_notice->setAlignment(Qt::AlignCenter);
    m_notice->setWordWrap(true);
    m_notice->hide();
}

MpvVideoWidget::~MpvVideoWidget() {
    // QWidget's destructor destroys the native window; by then this is no MpvVideoWidget any
    // more, so the news must go out here.
    if (QWindow* window = windowHandle()) {
        window->removeEventFilter(this);
    }
    emit windowClosing();
}

bool MpvVideoWidget::eventFilter(QObject* watched, QEvent* event) {
    // The native window can also go while this widget stays, when Qt destroys its top level.
    if (event->type() == QEvent::PlatformSurface &&
        static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
            QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed) {
        m_held = false;  // the hold goes with the window
        emit windowClosing();
    }
    // While held, the area of libmpv's window counts as uncovered; painting it would put
    // this widget's black over the picture the screen still shows.
    if (m_held && event->type() == QEvent::Expose) {
        m_exposedWhileHeld = true;
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

std::int64_t MpvVideoWidget::nativeId() {
    // libmpv embeds its picture only into an X11 window; elsewhere there is none to give it.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return 0;
    }
    const auto id = static_cast<std::int64_t>(winId());
    if (QWindow* window = windowHandle()) {
        window->installEventFilter(this);
    }
    return id;
}

void MpvVideoWidget::setNotice(const QString& notice) {
    m_notice->setText(notice);
    m_notice->setVisible(!notice.isEmpty());
}

QString MpvVideoWidget::notice() const {
    return m_notice->isHidden() ? QString() : m_notice->text();
}

void MpvVideoWidget::holdPicture() {
    if (m_held || !windowHandle() || !testAttribute(Qt::WA_WState_Created)) {
        return;
    }
    m_held = PictureHold::hold(winId());
}

void MpvVideoWidget::releasePicture() {
    if (!m_held) {
        return;
    }
    m_held = false;
    PictureHold::release(winId());
    if (m_exposedWhileHeld) {
        m_exposedWhileHeld = false;
        update();  // what libmpv's window does not cover
    }
}

void MpvVideoWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_notice->setGeometry(rect());
}

void MpvVideoWidget::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    emit shown();
}
