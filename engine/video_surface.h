#pragma once
// The widget that shows the film: it puts the renderer's latest frame on screen.
#include <QOpenGLTextureBlitter>
#include <QOpenGLWidget>
#include <QPointer>

namespace qarvel::engine {

class VideoRenderer;

class VideoSurface : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit VideoSurface(VideoRenderer* renderer, QWidget* parent = nullptr);
    ~VideoSurface() override;

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;

private:
    void releaseGl();

    QPointer<VideoRenderer> renderer_;
    QOpenGLTextureBlitter blitter_;
    QMetaObject::Connection contextGone_;
    bool sharing_ = false;
};

}  // namespace qarvel::engine
