#pragma once

#include <QIcon>
#include <QPixmap>

namespace qarvel {

// Slot picture of a skin by resource number: skin s, slot i is s * 100 + 101 + i
// (101..119 and 201..219). Any other number gives a null pixmap, which the skin
// procedure treats as "keep the slot's previous picture".
QPixmap skinPicture(int resourceNumber);

// Logo shown left of the window title: skin 0 has its own, every other skin
// index gets the second one (as the skin procedure picks a1 only for skin 0).
QPixmap skinLogo(int skin);

// The catalogue panel's pictures, 200 x 120 both, so `catalogueRetryPicture` keeps its place
// when one replaces the other: the loading picture `catalogueRetryPicture` starts with, and the
// error picture `catalogueErrorPicture` holds (a click on it retries). Transparent around the
// drawing; skin 0's are drawn for its dark panel, every other skin index gets
// the pair drawn for a light panel (the same rule as skinLogo).
QPixmap waitPicture(int skin);
QPixmap errorPicture(int skin);

// `idlePicture`, 300 x 150: the program's tile and name on a dark card, shown in the
// player area while nothing plays. The video area is black in both skins.
QPixmap idlePlayerPicture();

// `webPlayerCloseButton` and `liveTvCloseButton`, 20 x 20, with their own plate so they read on any page.
QPixmap smallClosePicture(bool hovered);

QIcon programIcon();
QIcon trayIcon();

// The 11 x 11 delete marker of the record list pages ("i.gif").
QPixmap smallMarker();

// Raw bytes of the delete marker, for writing it next to the list pages.
QByteArray smallMarkerFileData();

}  // namespace qarvel
