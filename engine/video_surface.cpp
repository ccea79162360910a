#include "engine/video_surface.h"

#include "common/logging.h"
#include "engine/video_renderer.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

namespace qarvel::engine {

VideoSurface::VideoSurface(VideoRenderer* renderer, QWidget* parent) : QOpenGLWidget(parent), m_renderer(renderer) {
    setObjectName("QvodC");
    setMinimumSize(16, 16);
    setFocusPolicy(Qt::StrongFocus);
    if (renderer) connect(renderer, &VideoRenderer::frameReady, this, qOverload<>(&QWidget::update));
}

VideoSurface::~VideoSurface() { releaseGl(); }

void VideoSurface::initializeGL() {
    // The context is created anew when the widget changes its top-level window.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &VideoSurface::releaseGl, Qt::UniqueConnection);
    m_blitter.create();
    m_sharing = m_renderer && QOpenGLContext::areSharing(context(), m_renderer->context());
    if (!m_sharing) qCWarning(lcEngine, "video widget context does not share with the renderer; no picture");
}

void VideoSurface::releaseGl() {
    if (!m_blitter.isCreated() || !context()) return;
    makeCurrent();
    m_blitter.destroy();
    doneCurrent();
}

void VideoSurface::resizeGL(int width, int height) {
    if (m_renderer) m_renderer->setTargetSize(QSize(width, height) * devicePixelRatio());
}

void VideoSurface::paintGL() {
    QOpenGLFunctions* gl = context()->functions();
    gl->glClearColor(0, 0, 0, 1);
    gl->glClear(GL_COLOR_BUFFER_BIT);
    const unsigned texture = m_renderer && m_sharing ? m_renderer->textureId() : 0;
    if (!texture || !m_blitter.isCreated()) return;
    const QRect viewport(QPoint(0, 0), size() * devicePixelRatio());
    gl->glViewport(0, 0, viewport.width(), viewport.height());
    m_blitter.bind();
    // The player draws its first row at the texture's origin.
    m_blitter.blit(texture, QOpenGLTextureBlitter::targetTransform(QRectF(viewport), viewport),
                   QOpenGLTextureBlitter::OriginTopLeft);
    m_blitter.release();
}

}  // namespace qarvel::engine
