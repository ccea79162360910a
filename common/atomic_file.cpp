#include "common/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace qarvel {

std::optional<QByteArray> readWholeFile(const QString& path) {
    if (!QFileInfo(path).isFile()) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return bytes;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* why, WriteDurability durability) {
    const auto failed = [&](const QString& reason) {
        if (why) *why = QStringLiteral("cannot write %1: %2").arg(path, reason);
        return false;
    };
    // A link keeps pointing at its file; the file is what is rewritten.
    const QFileInfo given(path);
    const QFileInfo target(given.isSymLink() ? given.symLinkTarget() : path);
    // A read-only file stays as it is, as it would with a write in place.
    if (target.exists() && !target.isWritable()) return failed(QStringLiteral("the file is read-only"));
    // QTemporaryFile makes the file 0600 and never in place; the name carries
    // the marker so that the clean-up at start can tell it from a user's file.
    QTemporaryFile file(target.absoluteFilePath() + QLatin1String(kTemporaryMarker) + QStringLiteral("XXXXXX"));
    if (!file.open()) return failed(file.errorString());
    if (file.write(bytes) != bytes.size() || !file.flush()) return failed(file.errorString());
    if (durability == WriteDurability::Synced && ::fsync(file.handle()) != 0)
        return failed(QString::fromLocal8Bit(std::strerror(errno)));
    // rename() replaces the old file in one step, which QFile::rename does not.
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        return failed(QString::fromLocal8Bit(std::strerror(errno)));
    file.setAutoRemove(false);
    return true;
}

bool makePrivateFolder(const QString& path) {
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (QFileInfo(clean).isDir()) return true;
    const QString parent = QFileInfo(clean).path();
    if (parent == clean || !makePrivateFolder(parent)) return false;
    const auto owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    // Another process may make it at the same moment.
    return QDir().mkdir(clean, owner) || QFileInfo(clean).isDir();
}

int removeInterruptedWrites(const QString& folder, const QStringList& namePatterns) {
    static const QRegularExpression temporary(QStringLiteral("^(.+)") +
                                              QRegularExpression::escape(QLatin1String(kTemporaryMarker)) +
                                              QStringLiteral("[A-Za-z0-9]{6}$"));
    const QDir dir(folder);
    int removed = 0;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QRegularExpressionMatch m = temporary.match(name);
        if (m.hasMatch() && QDir::match(namePatterns, m.captured(1)) && QFile::remove(dir.filePath(name))) ++removed;
    }
    return removed;
}

}  // namespace qarvel
