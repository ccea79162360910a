#pragma once
// The painted frame of the borderless window and its rounded outline.
#include <QRect>
#include <QRegion>
#include <vector>

class QPainter;
class QPixmap;

namespace qarvel::window {

enum class FrameKind {
    Normal,   // title band 55 high
    Compact,  // title band 30 high
};

// One stretch of the frame strip: destination ← source, in pixels.
struct FramePiece {
    QRect target;
    QRect source;
};

// The pieces of the frame strip (slot 0, 80 × 108) for an inner size W × H,
// in painting order: sides first, then the bottom, then the top, so that the
// top corners lie over the side strips.
std::vector<FramePiece> framePieces(int W, int H, FrameKind kind);
void paintFrame(QPainter& painter, const QPixmap& strip, int W, int H, FrameKind kind);

// The window's outline: the w × h rectangle with its corners rounded off.
QRegion roundRegion(int w, int h);

}  // namespace qarvel::window
