#include "platform/process_finder.h"

#include <QFileInfo>
#include <QProcess>

namespace qarvel::platform {

qint64 LinuxProcessFinder::findProcessByName(const QString&) { return 0; }

void LinuxProcessFinder::endProcessByName(const QString&) {}

bool LinuxProcessFinder::startMinimized(const QString& program) {
    const QFileInfo file(program);
    if (!file.isFile() || !file.isExecutable()) return false;
    return QProcess::startDetached(file.absoluteFilePath(), {});
}

}  // namespace qarvel::platform
