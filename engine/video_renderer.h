#pragma once
// Draws the player's frames into a texture with the player's render interface.
// It renders in a GL context of its own on an offscreen surface, shared with
// every widget context (Qt::AA_ShareOpenGLContexts), so that frames are consumed
// from the first loaded film on, whether the video widget is shown yet or not,
// and so that moving the widget to full screen and back never tears down the
// player's renderer.
#include <QObject>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSize>
#include <atomic>
#include <memory>

struct mpv_handle;
struct mpv_render_context;
class QOpenGLFramebufferObject;

namespace qarvel::engine {

class VideoRenderer : public QObject {
    Q_OBJECT
public:
    explicit VideoRenderer(QObject* parent = nullptr);
    ~VideoRenderer() override;

    // Must run before the first film is loaded.
    bool create(mpv_handle* mpv, QString* error);
    // Frees the render context (with its GL context current); must run before
    // the player instance is destroyed.
    void shutdown();

    void setTargetSize(QSize pixels);
    // The texture holding the last frame (0 before the first), in the share group.
    unsigned textureId() const;
    QSize textureSize() const;
    QOpenGLContext* context() { return &context_; }

signals:
    void frameReady();

private:
    static void onUpdate(void* self);
    void renderIfDue();
    void render();

    QOpenGLContext context_;
    QOffscreenSurface surface_;
    mpv_render_context* render_ = nullptr;
    std::unique_ptr<QOpenGLFramebufferObject> fbo_;
    QSize targetSize_{640, 360};
    bool haveFrame_ = false;
    std::atomic<bool> updatePosted_{false};
};

}  // namespace qarvel::engine
