#include "app/program_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace qarvel {

bool isInstalledFolder(const QString& executableFolder) {
    const QDir bin(executableFolder);
    if (bin.dirName() != QLatin1String("bin")) return false;
    return QFileInfo::exists(bin.filePath(QStringLiteral("../share/applications/") + kDesktopEntryName));
}

QString chooseProgramFolder(const QString& given, const QString& executableFolder) {
    if (!given.isEmpty()) return QDir::cleanPath(QFileInfo(given).absoluteFilePath());
    const QFileInfo exe(executableFolder);
    // Root may write anywhere; an install's bin/ is still no place for one user's files.
    if (exe.isDir() && exe.isWritable() && !isInstalledFolder(executableFolder))
        return QDir::cleanPath(exe.absoluteFilePath());
    // GenericDataLocation is $XDG_DATA_HOME, or ~/.local/share when it is unset.
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/qarvel"));
}

}  // namespace qarvel
