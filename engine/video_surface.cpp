#include "engine/video_surface.h"

#include "engine/video_renderer.h"
#include "engine/video_window.h"

#include <QVBoxLayout>

namespace qarvel::engine {

VideoSurface::VideoSurface(VideoRenderer* renderer, QWidget* parent) : QWidget(parent) {
    setObjectName("QvodC");
    setMinimumSize(16, 16);
    setFocusPolicy(Qt::StrongFocus);
    // Black wherever the picture window has not drawn yet.
    setAutoFillBackground(true);
    setPalette(QPalette(Qt::black));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    QWidget* glPicture = hold(new VideoWindow(renderer));
    layout->addWidget(glPicture);
    if (!renderer) return;
    // A renderer that draws in memory has its picture painted by an image window.
    connect(renderer, &VideoRenderer::drawingInMemory, this, [this, renderer, layout, glPicture] {
        QWidget* imagePicture = hold(new ImageWindow(renderer));
        layout->replaceWidget(glPicture, imagePicture);
        glPicture->deleteLater();
        imagePicture->show();
    });
}

QWidget* VideoSurface::hold(QWindow* picture) {
    QWidget* container = QWidget::createWindowContainer(picture, this);
    // Focus and input stay with this widget; the picture window takes none.
    container->setFocusPolicy(Qt::NoFocus);
    container->setAttribute(Qt::WA_TransparentForMouseEvents);
    return container;
}

VideoSurface::~VideoSurface() = default;

}  // namespace qarvel::engine
