#include "app/unattended_run.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

namespace qarvel {

void scheduleUnattendedRun(std::function<bool(const QString&)> save, const QString& path, int shotAfterMs,
                           int quitAfterMs) {
    if (!path.isEmpty() && save) {
        QTimer::singleShot(shotAfterMs, qApp, [save = std::move(save), path] {
            if (save(path)) std::fprintf(stderr, "qarvel: saved a picture of the window to %s\n", qPrintable(path));
            else std::fprintf(stderr, "qarvel: could not save a picture to %s\n", qPrintable(path));
        });
    }
    if (quitAfterMs > 0) QTimer::singleShot(quitAfterMs, qApp, &QApplication::quit);
}

}  // namespace qarvel
