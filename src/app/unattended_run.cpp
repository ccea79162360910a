#include "app/unattended_run.h"

#include <QApplication>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace qarvel {

void scheduleUnattendedRun(QWidget* window, const QString& path, int shotAfterMs, int quitAfterMs) {
    QPointer<QWidget> w(window);
    if (!path.isEmpty()) {
        QTimer::singleShot(shotAfterMs, qApp, [w, path] {
            if (!w) return;
            // The screen's picture shows what a person sees, browser panes
            // included; grab() of the widget is the fallback offscreen.
            QPixmap shot;
            if (QScreen* screen = w->screen())
                shot = screen->grabWindow(0, w->x(), w->y(), w->width(), w->height());
            if (shot.isNull()) shot = w->grab();
            if (shot.save(path, "PNG"))
                std::fprintf(stderr, "qarvel: saved a picture of the window to %s\n", qPrintable(path));
            else
                std::fprintf(stderr, "qarvel: could not save a picture to %s\n", qPrintable(path));
        });
    }
    if (quitAfterMs > 0) QTimer::singleShot(quitAfterMs, qApp, &QApplication::quit);
}

}  // namespace qarvel
