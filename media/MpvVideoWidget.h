#pragma once

#include <QOpenGLWidget>
#include <QString>

class QLabel;

struct mpv_handle;
struct mpv_render_context;

// Draws one player's picture with libmpv's render API. The render context lives exactly as long
// as the widget's GL context and is always freed with that context current, before the
// mpv_handle goes away (the widget must not outlive the handle).
class MpvVideoWidget : public QOpenGLWidget {
    Q_OBJECT
public:
    MpvVideoWidget(mpv_handle* mpv, QWidget* parent = nullptr);
    ~MpvVideoWidget() override;

    // Text drawn instead of a picture, e.g. for a file without video; empty for none.
    void setNotice(const QString& notice);
    // True once libmpv can draw here; files opened before that play without a picture.
    bool renderReady() const { return m_render != nullptr; }

signals:
    void renderContextCreated();

protected:
    void initializeGL() override;
    void paintGL() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void freeRenderContext();
    static void onUpdate(void* self);

    mpv_handle* m_mpv;
    mpv_render_context* m_render = nullptr;
    QLabel* m_notice;
};
