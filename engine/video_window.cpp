#include "engine/video_window.h"

#include "engine/video_renderer.h"

#include <QPainter>

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

ImageWindow::ImageWindow(VideoRenderer* renderer) : renderer_(renderer) {
    setFlag(Qt::WindowTransparentForInput);
    if (renderer) connect(renderer, &VideoRenderer::pictureChanged, this, [this] { update(); });
}

void ImageWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QImage* picture = renderer_ ? &renderer_->picture() : nullptr;
    const QSize device = size() * devicePixelRatio();
    if (!picture || picture->size() != device) {
        // Between a resize and the frame drawn at the new size.
        painter.fillRect(QRect(QPoint(), size()), Qt::black);
        if (picture && !picture->isNull()) painter.drawImage(QRect(QPoint(), size()), *picture);
        return;
    }
    painter.drawImage(QPoint(), *picture);
}

void ImageWindow::exposeEvent(QExposeEvent* event) {
    tellSize();
    QRasterWindow::exposeEvent(event);
}

void ImageWindow::resizeEvent(QResizeEvent* event) {
    tellSize();
    QRasterWindow::resizeEvent(event);
}

void ImageWindow::tellSize() {
    if (renderer_) renderer_->setPictureSize(isExposed() ? size() * devicePixelRatio() : QSize());
}

}  // namespace qarvel::engine
