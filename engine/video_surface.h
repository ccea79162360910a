#pragma once
// The widget that shows the film. The picture is drawn in a native window of
// its own inside the widget, so that a new frame redraws only the picture: a
// picture drawn as part of the widget tree (QOpenGLWidget) makes the whole main
// window, panes and all, recomposite on every frame, which under software GL
// costs as much again as playing the film.
#include <QPointer>
#include <QWidget>

namespace qarvel::engine {

class VideoRenderer;

class VideoSurface : public QWidget {
    Q_OBJECT
public:
    explicit VideoSurface(VideoRenderer* renderer, QWidget* parent = nullptr);
    ~VideoSurface() override;

private:
    QWidget* hold(QWindow* picture);  // the picture window's container
};

}  // namespace qarvel::engine
