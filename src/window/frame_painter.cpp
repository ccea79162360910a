#include "window/frame_painter.h"

#include <QPainter>
#include <QPixmap>

namespace qarvel::window {

std::vector<FramePiece> framePieces(int W, int H, FrameKind kind) {
    if (kind == FrameKind::Normal) {
        return {
            {{0, 55, 35, H - 55}, {0, 55, 35, 8}},         // left border
            {{W - 35, 55, 35, H - 55}, {45, 55, 35, 8}},   // right border
            {{35, H - 45, W - 70, 45}, {35, 63, 10, 45}},  // bottom edge
            {{0, H - 45, 35, 45}, {0, 63, 35, 45}},        // bottom-left corner
            {{W - 35, H - 45, 35, 45}, {45, 63, 35, 45}},  // bottom-right corner
            {{40, 0, W - 70, 55}, {40, 0, 10, 55}},        // top edge
            {{0, 0, 40, 55}, {0, 0, 40, 55}},              // top-left corner
            {{W - 30, 0, 30, 55}, {50, 0, 30, 55}},        // top-right corner
        };
    }
    // The compact title band is 30 high; its sides take their rows from the
    // lower part of the title band so the band still reads as one piece.
    return {
        {{0, 30, 35, H - 30}, {0, 50, 35, 33}},
        {{W - 35, 30, 35, H - 30}, {45, 50, 35, 33}},
        {{35, H - 45, W - 70, 45}, {35, 63, 10, 45}},
        {{0, H - 45, 35, 45}, {0, 63, 35, 45}},
        {{W - 35, H - 45, 35, 45}, {45, 63, 35, 45}},
        {{40, 0, W - 70, 30}, {40, 0, 10, 30}},
        {{0, 0, 40, 30}, {0, 0, 40, 30}},
        {{W - 30, 0, 30, 30}, {50, 0, 30, 30}},
    };
}

void paintFrame(QPainter& painter, const QPixmap& strip, int W, int H, FrameKind kind) {
    if (strip.isNull()) return;
    // The source rectangles count logical pixels; the strip's own are r times as many.
    const qreal r = strip.devicePixelRatio();
    for (const FramePiece& piece : framePieces(W, H, kind)) {
        if (piece.target.width() <= 0 || piece.target.height() <= 0) continue;
        const QRectF source(piece.source.x() * r, piece.source.y() * r, piece.source.width() * r,
                            piece.source.height() * r);
        painter.drawPixmap(QRectF(piece.target), strip, source);
    }
}

QRegion roundRegion(int w, int h) {
    if (w <= 2 || h <= 2) return QRegion(0, 0, qMax(w, 0), qMax(h, 0));
    // A corner ellipse of 4 × 4 takes exactly the corner pixel off each corner.
    QRegion region(0, 0, w, h);
    region -= QRegion(0, 0, 1, 1);
    region -= QRegion(w - 1, 0, 1, 1);
    region -= QRegion(0, h - 1, 1, 1);
    region -= QRegion(w - 1, h - 1, 1, 1);
    return region;
}

}  // namespace qarvel::window
