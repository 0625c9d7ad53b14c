#include "MpvVideoWidget.h"

#include <mpv/render_gl.h>

#include <QLabel>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QResizeEvent>

#include "IMediaPlayer.h"

namespace {

void* procAddress(void*, const char* name) {
    QOpenGLContext* gl = QOpenGLContext::currentContext();
    return gl ? reinterpret_cast<void*>(gl->getProcAddress(name)) : nullptr;
}

}  // namespace

MpvVideoWidget::MpvVideoWidget(mpv_handle* mpv, QWidget* parent)
    : QOpenGLWidget(parent), m_mpv(mpv), m_notice(new QLabel(this)) {
    // A plain widget over the picture: drawing text into libmpv's GL state is not reliable.
    m_notice->setAlignment(Qt::AlignCenter);
    m_notice->setWordWrap(true);
    m_notice->setAutoFillBackground(true);
    QPalette colours = m_notice->palette();
    colours.setColor(QPalette::Window, Qt::black);
    colours.setColor(QPalette::WindowText, Qt::white);
    m_notice->setPalette(colours);
    m_notice->hide();
}

MpvVideoWidget::~MpvVideoWidget() {
    freeRenderContext();
}

void MpvVideoWidget::setNotice(const QString& notice) {
    m_notice->setText(notice);
    m_notice->setVisible(!notice.isEmpty());
    update();
}

void MpvVideoWidget::resizeEvent(QResizeEvent* event) {
    QOpenGLWidget::resizeEvent(event);
    m_notice->setGeometry(rect());
}

void MpvVideoWidget::initializeGL() {
    // The GL context goes away when the widget moves to another top-level window; the render
    // context must go first.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this,
            &MpvVideoWidget::freeRenderContext, Qt::DirectConnection);

    mpv_opengl_init_params gl{&procAddress, nullptr};
    int advanced = 0;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl},
        {MPV_RENDER_PARAM_ADVANCED_CONTROL, &advanced},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (const int err = mpv_render_context_create(&m_render, m_mpv, params); err < 0) {
        m_render = nullptr;
        setNotice(QStringLiteral("No picture: %1").arg(QString::fromUtf8(mpv_error_string(err))));
        return;
    }
    mpv_render_context_set_update_callback(m_render, &MpvVideoWidget::onUpdate, this);
    emit renderContextCreated();
}

void MpvVideoWidget::onUpdate(void* self) {
    // Called from an mpv thread: only schedule a repaint on the GUI thread.
    QMetaObject::invokeMethod(static_cast<MpvVideoWidget*>(self), qOverload<>(&QWidget::update),
                              Qt::QueuedConnection);
}

void MpvVideoWidget::paintGL() {
    if (!m_render || !m_notice->isHidden()) {
        QOpenGLFunctions* gl = context()->functions();
        gl->glClearColor(0, 0, 0, 1);
        gl->glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    const qreal ratio = devicePixelRatio();
    mpv_opengl_fbo fbo{static_cast<int>(defaultFramebufferObject()),
                       static_cast<int>(width() * ratio), static_cast<int>(height() * ratio), 0};
    int flipY = 1;
    int block = 0;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
        {MPV_RENDER_PARAM_FLIP_Y, &flipY},
        {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    mpv_render_context_render(m_render, params);
}

void MpvVideoWidget::freeRenderContext() {
    if (!m_render) {
        return;
    }
    makeCurrent();
    mpv_render_context_free(m_render);
    m_render = nullptr;
    doneCurrent();
}
