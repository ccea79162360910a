#pragma once
// Draws the player's frames with the player's render interface, in a GL context
// of its own shared with every widget context (Qt::AA_ShareOpenGLContexts).
// While its picture window is on screen it draws straight into that window;
// otherwise (before the window is shown, while it is hidden or moving to full
// screen) it draws into an offscreen framebuffer, so that frames are consumed
// from the first loaded film on and the player never stalls for want of a
// picture surface.
// On a software rasterizer the player draws each frame into memory instead,
// and an image window paints it (as mpv's own X11 output does): drawing it
// through the rasterizer costs about two thirds more processor time.
#include <QImage>
#include <QObject>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QPointer>
#include <QSize>
#include <QWindow>
#include <cstdlib>
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
    QSurfaceFormat format() const { return context_ ? context_->format() : QSurfaceFormat(); }
    // Draws the current frame again, at the window's present size.
    void redraw();

    // Frames put into the picture window on screen so far.
    int framesShown() const { return framesShown_; }

    // In memory (software rasterizer): the last picture drawn, and the size
    // to draw the next at, in device pixels (empty: small, nobody sees it).
    bool drawsInMemory() const { return inMemory_; }
    const QImage& picture() const { return picture_; }
    void setPictureSize(QSize size);
    // The image window painted the picture at its size: on screen now.
    void picturePainted();

signals:
    // A frame was drawn (on screen or offscreen).
    void frameReady();
    // The renderer draws in memory from now on (made on a software rasterizer).
    void drawingInMemory();
    // A new picture in memory, to be painted.
    void pictureChanged();
    // A frame was put into the picture window on screen.
    void pictureShown();

private:
    static void onUpdate(void* self);
    Q_INVOKABLE void renderIfDue();
    void render();
    bool onScreen() const;
    bool renderToWindow(int* rc);
    bool renderOffscreen(int* rc);
    bool createInMemory(mpv_handle* mpv);
    bool renderInMemory(int* rc);
    void countShown();

    std::unique_ptr<QOpenGLContext> context_ = std::make_unique<QOpenGLContext>();  // none while drawing in memory
    QOffscreenSurface surface_;
    QPointer<QWindow> window_;
    mpv_render_context* render_ = nullptr;
    std::unique_ptr<QOpenGLFramebufferObject> fbo_;
    int framesShown_ = 0;
    bool inMemory_ = false;
    bool pictureUnpainted_ = false;  // drawn in memory at a size on screen, not painted yet
    QSize pictureSize_;
    std::unique_ptr<uchar, void (*)(void*)> pixels_{nullptr, &std::free};  // aligned for the player's scaler
    QImage picture_;                                                       // over pixels_
};

}  // namespace qarvel::engine
