#include "resources/skin_resources.h"

#include <QFile>
#include <QGuiApplication>

namespace qarvel {

namespace {

bool isSkinResource(int n) {
    const int slot = n % 100;
    const int skin = n / 100;
    return (skin == 1 || skin == 2) && slot >= 1 && slot <= 19;
}

// Qt's @2x rule, as QIcon applies it: on a screen of ratio above 1 the
// drawing at twice the size is taken where there is one, and it paints at
// its logical size.
QPixmap picture(const QString& name) {
    if (qGuiApp && qGuiApp->devicePixelRatio() > 1.0) {
        QString sharp = name;
        sharp.insert(name.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
        QPixmap hi(sharp);
        if (!hi.isNull()) {
            hi.setDevicePixelRatio(2.0);
            return hi;
        }
    }
    return QPixmap(name);
}

}  // namespace

QPixmap skinPicture(int resourceNumber) {
    if (!isSkinResource(resourceNumber)) return {};
    return picture(QStringLiteral(":/skin/%1.png").arg(resourceNumber));
}

QPixmap skinLogo(int skin) {
    return picture(skin == 0 ? QStringLiteral(":/skin/a1.png") : QStringLiteral(":/skin/a2.png"));
}

QPixmap waitPicture(int skin) {
    return picture(skin == 0 ? QStringLiteral(":/skin/jia_wait0.png") : QStringLiteral(":/skin/jia_wait1.png"));
}

QPixmap errorPicture(int skin) {
    return picture(skin == 0 ? QStringLiteral(":/skin/w3_error0.png") : QStringLiteral(":/skin/w3_error1.png"));
}

QPixmap idlePlayerPicture() { return picture(QStringLiteral(":/adp.png")); }

QPixmap smallClosePicture(bool hovered) {
    return picture(hovered ? QStringLiteral(":/close_small_hover.png") : QStringLiteral(":/close_small.png"));
}

QIcon programIcon() {
    QIcon icon(QStringLiteral(":/qarvel.png"));
    // the small drawing stays legible where the large one would blur
    icon.addFile(QStringLiteral(":/tray.png"), QSize(32, 32));
    return icon;
}

QIcon trayIcon() { return QIcon(QStringLiteral(":/tray.png")); }

QPixmap smallMarker() { return QPixmap(QStringLiteral(":/i.gif")); }

QByteArray smallMarkerFileData() {
    QFile f(QStringLiteral(":/i.gif"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace qarvel
