#include "engine/video_window.h"

#include "engine/video_renderer.h"

namespace qarvel::engine {

VideoWindow::VideoWindow(VideoRenderer* renderer) : renderer_(renderer) {
    setSurfaceType(QSurface::OpenGLSurface);
    setFlag(Qt::WindowTransparentForInput);
    if (renderer) {
        setFormat(renderer->format());
        renderer->setWindow(this);
    }
}

VideoRenderer* VideoWindow::renderer() const { return renderer_; }

void VideoWindow::exposeEvent(QExposeEvent*) {
    if (renderer_ && isExposed()) renderer_->redraw();
}

void VideoWindow::resizeEvent(QResizeEvent*) {
    if (renderer_ && isExposed()) renderer_->redraw();
}

}  // namespace qarvel::engine
