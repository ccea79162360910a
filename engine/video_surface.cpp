#include "engine/video_surface.h"

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
    QWidget* container = QWidget::createWindowContainer(new VideoWindow(renderer), this);
    // Focus and input stay with this widget; the picture window takes none.
    container->setFocusPolicy(Qt::NoFocus);
    container->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(container);
}

VideoSurface::~VideoSurface() = default;

}  // namespace qarvel::engine
