#pragma once
// The few pictures of the window that no skin slot covers, drawn at run time:
// the waiting and error pictures of the catalogue panel, the large play
// button of the advertisement area and the close badge over a pane.
#include <QPixmap>

namespace qarvel::window {

QPixmap loadingPicture();   // `jia` while the catalogue loads
QPixmap errorPicture();     // `w3`: the catalogue failed; a click retries
QPixmap bigPlayPicture();   // `adp`
QPixmap closeBadge();       // `ggx`, `gtv`

}  // namespace qarvel::window
