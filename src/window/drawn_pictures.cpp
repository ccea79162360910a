#include "window/drawn_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace qarvel::window {

namespace {

QPixmap blank(int w, int h) {
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    return pm;
}

// An icon in a ring above two lines of text, the look both catalogue pictures share.
QPixmap notice(const QColor& ring, const QString& title, const QString& hint,
               const std::function<void(QPainter&, QRectF)>& glyph) {
    QPixmap pm = blank(320, 130);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF circle(136, 4, 48, 48);
    p.setPen(QPen(ring, 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(circle);
    glyph(p, circle);
    QFont f = p.font();
    f.setPixelSize(16);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0xdd, 0xdd, 0xdd));
    p.drawText(QRectF(0, 62, 320, 24), Qt::AlignCenter, title);
    f.setPixelSize(12);
    f.setBold(false);
    p.setFont(f);
    p.setPen(QColor(0x99, 0x99, 0x99));
    p.drawText(QRectF(0, 90, 320, 20), Qt::AlignCenter, hint);
    return pm;
}

}  // namespace

QPixmap loadingPicture() {
    return notice(QColor(0x3a, 0x9b, 0xdc), QStringLiteral("正在加载影视库..."), QStringLiteral("请稍候"),
                  [](QPainter& p, QRectF c) {
                      // Three dots: a static picture, so the waiting panel costs no CPU.
                      p.setPen(Qt::NoPen);
                      p.setBrush(QColor(0x3a, 0x9b, 0xdc));
                      for (int i = -1; i <= 1; ++i) p.drawEllipse(c.center() + QPointF(i * 11, 0), 3.5, 3.5);
                  });
}

QPixmap errorPicture() {
    return notice(QColor(0xe0, 0x6c, 0x3c), QStringLiteral("读取数据出错"), QStringLiteral("点击此处重试"),
                  [](QPainter& p, QRectF c) {
                      // A circular arrow: retry.
                      const QRectF arc = c.adjusted(13, 13, -13, -13);
                      p.setPen(QPen(QColor(0xe0, 0x6c, 0x3c), 3, Qt::SolidLine, Qt::RoundCap));
                      p.drawArc(arc, 60 * 16, 280 * 16);
                      const QPointF tip(arc.center().x() + arc.width() / 2 * 0.5, arc.top() + 1.5);
                      QPainterPath head;
                      head.moveTo(tip + QPointF(6, 0));
                      head.lineTo(tip + QPointF(-3, -5));
                      head.lineTo(tip + QPointF(-3, 5));
                      head.closeSubpath();
                      p.setPen(Qt::NoPen);
                      p.setBrush(QColor(0xe0, 0x6c, 0x3c));
                      p.drawPath(head);
                  });
}

QPixmap bigPlayPicture() {
    QPixmap pm = blank(88, 88);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 200), 3));
    p.setBrush(QColor(0, 0, 0, 110));
    p.drawEllipse(QRectF(3, 3, 82, 82));
    QPainterPath tri;
    tri.moveTo(35, 26);
    tri.lineTo(64, 44);
    tri.lineTo(35, 62);
    tri.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawPath(tri);
    return pm;
}

QPixmap closeBadge() {
    QPixmap pm = blank(24, 24);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 150));
    p.drawRoundedRect(QRectF(1, 1, 22, 22), 4, 4);
    p.setPen(QPen(QColor(240, 240, 240), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(16, 16));
    p.drawLine(QPointF(16, 8), QPointF(8, 16));
    return pm;
}

}  // namespace qarvel::window
