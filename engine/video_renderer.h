#pragma once
// Draws the player's frames with the player's render interface, in a GL context
// of its own shared with every widget context (Qt::AA_ShareOpenGLContexts).
// While its picture window is on screen it draws straight into that window;
// otherwise (before the window is shown, while it is hidden or moving to full
// screen) it draws into an offscreen framebuffer, so that frames are consumed
// from the first loaded film on and the player never stalls for want of a
// picture surface.
#include <QObject>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QPointer>
#include <QSize>
#include <QWindow>
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

    // Takes the format of the shared context: before the picture window is
    // made, which must have it.
    bool prepare(QString* error);
    // After prepare, before the first film is loaded: the GL context and the
    // player's render context (a start-up's cost of 10 to 15 ms).
    bool create(mpv_handle* mpv, QString* error);
    // Frees the render context (with its GL context current); must run before
    // the player instance is destroyed.
    void shutdown();

    // The window to draw into while it is exposed (an OpenGL surface in this
    // renderer's format).
    void setWindow(QWindow* window);
    QSurfaceFormat format() const { return context_.format(); }
    // Draws the current frame again, at the window's present size.
    void redraw();

    // Frames put into the picture window so far.
    int framesShown() const { return framesShown_; }

signals:
    // A frame was drawn (on screen or offscreen).
    void frameReady();

private:
    static void onUpdate(void* self);
    Q_INVOKABLE void renderIfDue();
    void render();
    bool onScreen() const;
    bool renderToWindow(int* rc);
    bool renderOffscreen(int* rc);

    QOpenGLContext context_;
    QOffscreenSurface surface_;
    QPointer<QWindow> window_;
    mpv_render_context* render_ = nullptr;
    std::unique_ptr<QOpenGLFramebufferObject> fbo_;
    int framesShown_ = 0;
};

}  // namespace qarvel::engine
