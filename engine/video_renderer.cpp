#include "engine/video_renderer.h"

#include <QGuiApplication>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <mpv/render_gl.h>

namespace qarvel::engine {

namespace {
void* procAddress(void*, const char* name) {
    QOpenGLContext* current = QOpenGLContext::currentContext();
    return current ? reinterpret_cast<void*>(current->getProcAddress(name)) : nullptr;
}
}  // namespace

VideoRenderer::VideoRenderer(QObject* parent) : QObject(parent) {}

VideoRenderer::~VideoRenderer() { shutdown(); }

bool VideoRenderer::create(mpv_handle* mpv, QString* error) {
    QOpenGLContext* shared = QOpenGLContext::globalShareContext();
    if (!shared) {
        *error = "no shared GL context (Qt::AA_ShareOpenGLContexts must be set before the application starts)";
        return false;
    }
    m_context.setShareContext(shared);
    m_context.setFormat(shared->format());
    if (!m_context.create()) {
        *error = "cannot create a GL context";
        return false;
    }
    m_surface.setFormat(m_context.format());
    m_surface.create();
    if (!m_surface.isValid() || !m_context.makeCurrent(&m_surface)) {
        *error = "cannot make the GL context current";
        return false;
    }

    mpv_opengl_init_params glInit{procAddress, nullptr};
    int advanced = 0;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &glInit},
        {MPV_RENDER_PARAM_ADVANCED_CONTROL, &advanced},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    const int rc = mpv_render_context_create(&m_render, mpv, params);
    m_context.doneCurrent();
    if (rc < 0) {
        m_render = nullptr;
        *error = QString("render context: ") + mpv_error_string(rc);
        return false;
    }
    mpv_render_context_set_update_callback(m_render, &VideoRenderer::onUpdate, this);
    return true;
}

void VideoRenderer::shutdown() {
    if (!m_render) return;
    mpv_render_context_set_update_callback(m_render, nullptr, nullptr);
    m_context.makeCurrent(&m_surface);
    mpv_render_context_free(m_render);
    m_render = nullptr;
    m_fbo.reset();
    m_context.doneCurrent();
}

// Called on one of the player's threads: only hand over to ours.
void VideoRenderer::onUpdate(void* self) {
    auto* renderer = static_cast<VideoRenderer*>(self);
    if (!renderer->m_updatePosted.exchange(true)) {
        QMetaObject::invokeMethod(renderer, &VideoRenderer::renderIfDue, Qt::QueuedConnection);
    }
}

void VideoRenderer::renderIfDue() {
    m_updatePosted = false;
    if (!m_render) return;
    if (mpv_render_context_update(m_render) & MPV_RENDER_UPDATE_FRAME) render();
}

void VideoRenderer::setTargetSize(QSize pixels) {
    if (pixels.isEmpty() || pixels == m_targetSize) return;
    m_targetSize = pixels;
    if (m_haveFrame) render();  // redraw the current frame at the new size
}

void VideoRenderer::render() {
    if (!m_render || !m_context.makeCurrent(&m_surface)) return;
    if (!m_fbo || m_fbo->size() != m_targetSize) {
        m_fbo = std::make_unique<QOpenGLFramebufferObject>(m_targetSize);
    }
    mpv_opengl_fbo target{int(m_fbo->handle()), m_targetSize.width(), m_targetSize.height(), 0};
    int flipY = 0;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &target},
        {MPV_RENDER_PARAM_FLIP_Y, &flipY},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    const int rc = mpv_render_context_render(m_render, params);
    // The widget samples the texture from its own context: finish here first.
    m_context.functions()->glFinish();
    m_context.doneCurrent();
    if (rc >= 0) {
        m_haveFrame = true;
        emit frameReady();
    }
}

unsigned VideoRenderer::textureId() const { return m_haveFrame && m_fbo ? m_fbo->texture() : 0; }

QSize VideoRenderer::textureSize() const { return m_fbo ? m_fbo->size() : QSize(); }

}  // namespace qarvel::engine
