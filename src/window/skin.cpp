#include "window/skin.h"

#include <QPainter>

namespace qarvel::window {

Skin::Skin(PictureLoader pictures, LogoLoader logos) : pictures_(std::move(pictures)) {
    if (logos) {
        a1_ = logos(0);
        a2_ = logos(1);
    }
}

void Skin::load(int s) {
    index_ = s;
    for (int i = 0; i < kSlotCount; ++i) {
        QPixmap picture = pictures_ ? pictures_(s * 100 + 101 + i) : QPixmap();
        if (!picture.isNull()) ppt_[i] = std::move(picture);
    }
}

const QPixmap& Skin::slot(int i) const {
    static const QPixmap none;
    return i >= 0 && i < kSlotCount ? ppt_[i] : none;
}

QPixmap Skin::piece(int i, int x, int y, int w, int h) const {
    const QPixmap& strip = slot(i);
    // A strip drawn for a high-density screen has r device pixels to a
    // logical one; the piece keeps them, and its ratio.
    const qreal r = strip.isNull() ? 1.0 : strip.devicePixelRatio();
    QPixmap out(qRound(qMax(w, 1) * r), qRound(qMax(h, 1) * r));
    out.setDevicePixelRatio(r);
    out.fill(Qt::transparent);
    if (!strip.isNull()) {
        QPainter p(&out);
        p.drawPixmap(QRectF(0, 0, w, h), strip, QRectF(x * r, y * r, w * r, h * r));
    }
    return out;
}

QPixmap titleButtonFace(const Skin& skin, int index, bool hovered, bool maximised, const QString& tip) {
    if (index < WindowButton::Minimise || index > WindowButton::MainMenu) return {};
    const bool onTop = tip != QStringLiteral("置顶");
    return skin.piece(sprites::titleButton(WindowButton(index), hovered, maximised, onTop));
}

}  // namespace qarvel::window
