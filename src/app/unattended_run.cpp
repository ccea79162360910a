#include "app/unattended_run.h"

#include "common/logging.h"

#include <QApplication>
#include <QTimer>

namespace qarvel {

void scheduleUnattendedRun(std::function<bool(const QString&)> save, const QString& path, int shotAfterMs,
                           int quitAfterMs) {
    if (!path.isEmpty() && save) {
        QTimer::singleShot(shotAfterMs, qApp, [save = std::move(save), path] {
            if (save(path)) qCInfo(lcClient, "saved a picture of the window to %s", qPrintable(path));
            else qCWarning(lcClient, "could not save a picture to %s", qPrintable(path));
        });
    }
    if (quitAfterMs > 0) QTimer::singleShot(quitAfterMs, qApp, &QApplication::quit);
}

}  // namespace qarvel
