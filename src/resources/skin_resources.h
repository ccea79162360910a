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

QIcon programIcon();
QIcon trayIcon();

// The 11 x 11 delete marker of the record list pages ("i.gif").
QPixmap smallMarker();

// Raw bytes of the delete marker, for writing it next to the list pages.
QByteArray smallMarkerFileData();

}  // namespace qarvel
