#include "common/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace qarvel {

std::optional<QByteArray> readWholeFile(const QString& path) {
    if (!QFileInfo(path).isFile()) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return bytes;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* why) {
    QSaveFile file(path);
    // Never fall back to writing in place: that is exactly the half-written file
    // this function exists to prevent.
    file.setDirectWriteFallback(false);
    const auto failed = [&] {
        if (why) *why = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    };
    if (!file.open(QIODevice::WriteOnly)) return failed();
    if (file.write(bytes) != bytes.size()) {
        failed();
        file.cancelWriting();
        return false;
    }
    return file.commit() || failed();
}

int removeInterruptedWrites(const QString& folder, const QStringList& namePatterns) {
    // The form QSaveFile gives its temporary file beside the target.
    static const QRegularExpression temporary(QStringLiteral("^(.+)\\.[A-Za-z0-9]{6}$"));
    const QDir dir(folder);
    int removed = 0;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QRegularExpressionMatch m = temporary.match(name);
        if (m.hasMatch() && QDir::match(namePatterns, m.captured(1)) && QFile::remove(dir.filePath(name))) ++removed;
    }
    return removed;
}

}  // namespace qarvel
