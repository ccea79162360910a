#include "engine/video_surface.h"

#include "common/logging.h"
#include "engine/video_renderer.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

namespace qarvel::engine {

VideoSurface::VideoSurface(VideoRenderer* renderer, QWidget* parent) : QOpenGLWidget(parent), renderer_(renderer) {
    setObjectName("QvodC");
    setMinimumSize(16, 16);
    setFocusPolicy(Qt::StrongFocus);
    if (renderer) connect(renderer, &VideoRenderer::frameReady, this, qOverload<>(&QWidget::update));
}

VideoSurface::~VideoSurface() {
    // The base class destroys the context only after this destructor has run;
    // its signal must not reach the half-destroyed surface.
    disconnect(contextGone_);
    releaseGl();
}

void VideoSurface::initializeGL() {
    // The context is created anew when the widget changes its top-level window.
    disconnect(contextGone_);
    contextGone_ = connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &VideoSurface::releaseGl);
    blitter_.create();
    sharing_ = renderer_ && QOpenGLContext::areSharing(context(), renderer_->context());
    if (!sharing_) qCWarning(lcEngine, "video widget context does not share with the renderer; no picture");
}

void VideoSurface::releaseGl() {
    if (!blitter_.isCreated() || !context()) return;
    makeCurrent();
    blitter_.destroy();
    doneCurrent();
}

void VideoSurface::resizeGL(int width, int height) {
    if (renderer_) renderer_->setTargetSize(QSize(width, height) * devicePixelRatio());
}

void VideoSurface::paintGL() {
    QOpenGLFunctions* gl = context()->functions();
    gl->glClearColor(0, 0, 0, 1);
    gl->glClear(GL_COLOR_BUFFER_BIT);
    const unsigned texture = renderer_ && sharing_ ? renderer_->textureId() : 0;
    if (!texture || !blitter_.isCreated()) return;
    const QRect viewport(QPoint(0, 0), size() * devicePixelRatio());
    gl->glViewport(0, 0, viewport.width(), viewport.height());
    blitter_.bind();
    // The player draws its first row at the texture's origin.
    blitter_.blit(texture, QOpenGLTextureBlitter::targetTransform(QRectF(viewport), viewport),
                  QOpenGLTextureBlitter::OriginTopLeft);
    blitter_.release();
}

}  // namespace qarvel::engine
