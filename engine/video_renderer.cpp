#include "engine/video_renderer.h"

#include "common/logging.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <qpa/qplatformnativeinterface.h>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <mpv/render_gl.h>

#include <cstdlib>

namespace qarvel::engine {

namespace {
void* procAddress(void*, const char* name) {
    QOpenGLContext* current = QOpenGLContext::currentContext();
    return current ? reinterpret_cast<void*>(current->getProcAddress(name)) : nullptr;
}
// The window system's display, which the player's hardware decoders need to
// hand their frames to GL without a copy: the X11 one on X11, the Wayland one
// on Wayland (before Qt 6.5 only the platform's native interface names it).
mpv_render_param displayParam() {
#if QT_CONFIG(xcb)
    if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        if (x11->display()) return {MPV_RENDER_PARAM_X11_DISPLAY, x11->display()};
    }
#endif
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    if (auto* wayland = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QWaylandApplication>() : nullptr) {
        if (wayland->display()) return {MPV_RENDER_PARAM_WL_DISPLAY, wayland->display()};
    }
#else
    if (qGuiApp && QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        if (QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface()) {
            if (void* display = native->nativeResourceForIntegration(QByteArrayLiteral("wl_display")))
                return {MPV_RENDER_PARAM_WL_DISPLAY, display};
        }
    }
#endif
    return {MPV_RENDER_PARAM_INVALID, nullptr};
}

bool isSoftwareRasterizer(QOpenGLContext& context) {
    const auto* name = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    const QByteArray renderer = name ? QByteArray(name).toLower() : QByteArray();
    for (const char* software : {"llvmpipe", "softpipe", "software rasterizer", "swrast"})
        if (renderer.contains(software)) return true;
    return false;
}

}  // namespace

VideoRenderer::VideoRenderer(QObject* parent) : QObject(parent) {}

VideoRenderer::~VideoRenderer() { shutdown(); }

bool VideoRenderer::prepare(QString* error) {
    QOpenGLContext* shared = QOpenGLContext::globalShareContext();
    if (!shared) {
        *error = "no shared GL context (Qt::AA_ShareOpenGLContexts must be set before the application starts)";
        return false;
    }
    context_->setShareContext(shared);
    context_->setFormat(shared->format());
    return true;
}

bool VideoRenderer::create(mpv_handle* mpv, QString* error) {
    if (!context_->create()) {
        *error = "cannot create a GL context";
        return false;
    }
    surface_.setFormat(context_->format());
    surface_.create();
    if (!surface_.isValid() || !context_->makeCurrent(&surface_)) {
        *error = "cannot make the GL context current";
        return false;
    }

    if (isSoftwareRasterizer(*context_)) {
        // mpv's own command line turns away from its GPU renderer on a
        // software rasterizer; the render API has no such probe. On X11 the
        // picture is drawn in memory then, as mpv's X11 output does; a
        // Wayland compositor shows an image subsurface only once it has one.
        static const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
        if (x11 && createInMemory(mpv)) {
            context_->doneCurrent();
            // Nothing is drawn through GL from now on: its context and
            // surface go (2 to 4 MiB less while a film plays).
            context_.reset();
            surface_.destroy();
            qCInfo(lcEngine, "software rasterizer: the picture is drawn in memory");
            emit drawingInMemory();
            return true;
        }
        // Else the GL picture takes mpv's simplest path (no intermediate
        // passes, no dithering): about a tenth less processor time.
        if (mpv_set_option_string(mpv, "gpu-dumb-mode", "yes") < 0)
            qCWarning(lcEngine, "software rasterizer, but the player keeps its full picture path");
        else qCInfo(lcEngine, "software rasterizer: the picture takes the simplest path");
    }
    mpv_opengl_init_params glInit{procAddress, nullptr};
    int advanced = 0;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &glInit},
        {MPV_RENDER_PARAM_ADVANCED_CONTROL, &advanced},
        displayParam(),  // the end of the list where there is none
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    const int rc = mpv_render_context_create(&render_, mpv, params);
    context_->doneCurrent();
    if (rc < 0) {
        render_ = nullptr;
        *error = QString("render context: ") + mpv_error_string(rc);
        return false;
    }
    mpv_render_context_set_update_callback(render_, &VideoRenderer::onUpdate, this);
    return true;
}

void VideoRenderer::shutdown() {
    if (!render_) return;
    mpv_render_context_set_update_callback(render_, nullptr, nullptr);
    if (inMemory_) {
        mpv_render_context_free(render_);
        render_ = nullptr;
        return;
    }
    context_->makeCurrent(&surface_);
    mpv_render_context_free(render_);
    render_ = nullptr;
    fbo_.reset();
    context_->doneCurrent();
}

// Called on one of the player's threads: only hand over to ours, touching
// nothing of this object there (the player calls it at most once a frame).
void VideoRenderer::onUpdate(void* self) {
    QMetaObject::invokeMethod(static_cast<VideoRenderer*>(self), "renderIfDue", Qt::QueuedConnection);
}

void VideoRenderer::renderIfDue() {
    if (!render_) return;
    if (mpv_render_context_update(render_) & MPV_RENDER_UPDATE_FRAME) render();
}

void VideoRenderer::setWindow(QWindow* window) { window_ = window; }

void VideoRenderer::redraw() {
    if (render_) render();
}

bool VideoRenderer::onScreen() const {
    if (!window_) return false;
    if (window_->isExposed()) return true;
    // On Wayland a picture window moved into another window (full screen and
    // back) can stay unexposed: its last frame went out while its surface was
    // being moved, the compositor never answered it, and nothing is drawn
    // again to get an answer. Drawing into it while it is shown brings the
    // answer and the picture back.
    static const bool wayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    return wayland && window_->isVisible();
}

void VideoRenderer::render() {
    if (!render_) return;
    int rc = -1;
    if (inMemory_) {
        if (renderInMemory(&rc) && rc >= 0) emit frameReady();
        return;
    }
    const bool drawn = onScreen() ? renderToWindow(&rc) : renderOffscreen(&rc);
    context_->doneCurrent();
    if (drawn && rc >= 0) emit frameReady();
}

bool VideoRenderer::createInMemory(mpv_handle* mpv) {
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_create(&render_, mpv, params) < 0) {
        render_ = nullptr;
        return false;
    }
    inMemory_ = true;
    // Scaled as the GL picture is by default (bilinear), not with the
    // library's lanczos for pictures in memory: a third less processor time
    // per frame, and the first picture of a film drawn about 2 ms sooner.
    if (mpv_set_option_string(mpv, "zimg-scaler", "bilinear") < 0)
        qCWarning(lcEngine, "the picture in memory keeps the library's own scaler");
    mpv_render_context_set_update_callback(render_, &VideoRenderer::onUpdate, this);
    return true;
}

void VideoRenderer::setPictureSize(QSize size) {
    if (size == pictureSize_) return;
    pictureSize_ = size;
    redraw();
}

void VideoRenderer::picturePainted() {
    if (!pictureUnpainted_) return;  // the same picture again (an expose)
    pictureUnpainted_ = false;
    countShown();
}

void VideoRenderer::countShown() {
    ++framesShown_;
    emit pictureShown();
}

bool VideoRenderer::renderInMemory(int* rc) {
    // Small while nobody sees it: it only keeps the player's frames flowing.
    const QSize size = pictureSize_.isEmpty() ? QSize(64, 36) : pictureSize_;
    if (picture_.size() != size) {
        // Rows on 64-byte boundaries, as the player's scaler wants them.
        const qsizetype stride = (qsizetype(size.width()) * 4 + 63) / 64 * 64;
        picture_ = QImage();
        pixels_.reset(static_cast<uchar*>(std::aligned_alloc(64, size_t(stride) * size_t(size.height()))));
        if (!pixels_) return false;
        picture_ = QImage(pixels_.get(), size.width(), size.height(), stride, QImage::Format_RGB32);
    }
    int dimensions[2] = {size.width(), size.height()};
    // QImage::Format_RGB32 holds 0xffRRGGBB words: blue first in memory on little-endian machines.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    char format[] = "bgr0";
#else
    char format[] = "0rgb";
#endif
    size_t stride = size_t(picture_.bytesPerLine());
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_SW_SIZE, dimensions}, {MPV_RENDER_PARAM_SW_FORMAT, format},
        {MPV_RENDER_PARAM_SW_STRIDE, &stride},  {MPV_RENDER_PARAM_SW_POINTER, pixels_.get()},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    *rc = mpv_render_context_render(render_, params);
    if (*rc < 0) return false;
    pictureUnpainted_ = !pictureSize_.isEmpty();
    emit pictureChanged();
    return true;
}

bool VideoRenderer::renderToWindow(int* rc) {
    if (!context_->makeCurrent(window_)) return false;
    const QSize size = window_->size() * window_->devicePixelRatio();
    mpv_opengl_fbo target{int(context_->defaultFramebufferObject()), size.width(), size.height(), 0};
    int flipY = 1;  // a window's framebuffer has its first row at the bottom
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &target},
        {MPV_RENDER_PARAM_FLIP_Y, &flipY},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    *rc = mpv_render_context_render(render_, params);
    context_->swapBuffers(window_);
    mpv_render_context_report_swap(render_);
    countShown();
    return true;
}

bool VideoRenderer::renderOffscreen(int* rc) {
    if (!context_->makeCurrent(&surface_)) return false;
    // Small: nobody sees it, it only keeps the player's frames flowing.
    const QSize size(64, 36);
    if (!fbo_) fbo_ = std::make_unique<QOpenGLFramebufferObject>(size);
    mpv_opengl_fbo target{int(fbo_->handle()), size.width(), size.height(), 0};
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &target},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    *rc = mpv_render_context_render(render_, params);
    return true;
}

}  // namespace qarvel::engine
