#pragma once
// The skin strips of the main window: 19 picture slots (`ppt`) and the two
// logos (`a1`, `a2`). Every painter reads the slots at the moment it paints,
// so a skin change reaches the frame, the hover faces and the control bar
// without anyone keeping copies.
#include "state/skin_sprites.h"

#include <QPixmap>
#include <QString>
#include <array>
#include <functional>

namespace qarvel::window {

class Skin {
public:
    static constexpr int kSlotCount = 19;
    // Loads a built-in picture by its resource number; a null picture when the
    // number has none.
    using PictureLoader = std::function<QPixmap(int resourceNumber)>;
    using LogoLoader = std::function<QPixmap(int skin)>;

    Skin(PictureLoader pictures, LogoLoader logos);

    // Loads slot i from resource s × 100 + 101 + i. A resource that is missing
    // leaves the slot's previous picture in place.
    void load(int s);
    int index() const { return index_; }

    const QPixmap& slot(int i) const;
    // A w × h piece of slot i at x, y; transparent where the slot has nothing.
    QPixmap piece(int i, int x, int y, int w, int h) const;
    QPixmap piece(const SkinPiece& p) const { return piece(p.slot, p.x, p.y, p.width, p.height); }
    const QPixmap& a1() const { return a1_; }
    const QPixmap& a2() const { return a2_; }

private:
    PictureLoader pictures_;
    std::array<QPixmap, kSlotCount> ppt_;
    QPixmap a1_, a2_;
    int index_ = -1;
};

// The face of title-bar button index (0 to 5): the normal or the hovered
// piece, by whether the window is maximised (button 1) and by the button's
// tooltip (button 4: "置顶" while always-on-top is off).
QPixmap titleButtonFace(const Skin& skin, int index, bool hovered, bool maximised, const QString& tip);

}  // namespace qarvel::window
