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
    const QRect area(QPoint(), size());
    if (!renderer_ || renderer_->picture().isNull()) {
        painter.fillRect(area, Qt::black);
        return;
    }
    // Drawn at the window's size in device pixels; scaled only between a
    // resize and the frame drawn at the new size.
    painter.drawImage(area, renderer_->picture());
    if (renderer_->picture().size() == size() * devicePixelRatio()) renderer_->picturePainted();
}

void ImageWindow::exposeEvent(QExposeEvent* event) {
    tellSize();
    QRasterWindow::exposeEvent(event);
}

void ImageWindow::resizeEvent(QResizeEvent* event) {
    tellSize();
    QRasterWindow::resizeEvent(event);
}

void ImageWindow::showEvent(QShowEvent* event) {
    // The picture is drawn at the window's size while the window system maps
    // the window, so the first expose paints it at once (a millisecond or
    // more sooner on screen); not while the program's window is off screen
    // (minimised), where nobody would see it.
    const QWindow* top = this;
    while (top->parent()) top = top->parent();
    if (renderer_ && top->isExposed()) renderer_->setPictureSize(size() * devicePixelRatio());
    QRasterWindow::showEvent(event);
}

void ImageWindow::tellSize() {
    if (renderer_) renderer_->setPictureSize(isExposed() ? size() * devicePixelRatio() : QSize());
}

}  // namespace qarvel::engine
