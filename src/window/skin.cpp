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
    constexpr int kSize = 24;
    const int faces = hovered ? 2 : 1;
    switch (index) {
    case 0: return skin.piece(faces, 72, 0, kSize, kSize);
    case 1:
        return maximised ? skin.piece(5, hovered ? 24 : 0, 0, kSize, kSize) : skin.piece(faces, 96, 0, kSize, kSize);
    case 2: return skin.piece(faces, 120, 0, kSize, kSize);
    case 3: return skin.piece(faces, 0, 0, kSize, kSize);
    case 4: {
        const bool on = tip != QStringLiteral("置顶");
        return skin.piece(6, (on ? 48 : 0) + (hovered ? 24 : 0), 0, kSize, kSize);
    }
    case 5: return skin.piece(faces, 48, 0, kSize, kSize);
    default: return {};
    }
}

}  // namespace qarvel::window
