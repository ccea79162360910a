#pragma once
// The native window inside the video widget that the renderer draws the film
// into. It takes no input (Qt::WindowTransparentForInput), so mouse presses,
// double clicks and the wheel reach the widgets under it as if it were not
// there, and the main window's key preview keeps working.
#include <QPointer>
#include <QRasterWindow>
#include <QWindow>

namespace qarvel::engine {

class VideoRenderer;

class VideoWindow : public QWindow {
    Q_OBJECT
public:
    explicit VideoWindow(VideoRenderer* renderer);
    VideoRenderer* renderer() const;

protected:
    // Uncovered or resized: the current frame is drawn again at once rather
    // than at the player's next frame (a paused film has none).
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointer<VideoRenderer> renderer_;
};

// On a software rasterizer: the picture the renderer drew in memory, painted
// as an image at the window's size, which the renderer draws the next at.
// Like the GL window, a native window of its own that takes no input.
class ImageWindow : public QRasterWindow {
    Q_OBJECT
public:
    explicit ImageWindow(VideoRenderer* renderer);

protected:
    void paintEvent(QPaintEvent* event) override;
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void tellSize();
    QPointer<VideoRenderer> renderer_;
};

}  // namespace qarvel::engine
