#include "engine/cache/film_index.h"

#include "common/atomic_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qarvel::engine {

namespace {
const QByteArray kMagic = "qarvel-film-cache 1";
constexpr qint64 kLargestIndex = 1 << 20;
const QString kIndexFolder = QStringLiteral(".qvcache");
}  // namespace

QByteArray formatFilmIndex(const FilmIndex& index) {
    QByteArray out = kMagic + "\n";
    out += "name=" + index.name.toUtf8() + "\n";
    out += "key=" + index.key.toUtf8() + "\n";
    out += "size=" + QByteArray::number(index.size) + "\n";
    out += "ranges=" + index.ranges.toText().toLatin1() + "\n";
    return out;
}

std::optional<FilmIndex> parseFilmIndex(const QByteArray& text) {
    const QList<QByteArray> lines = text.split('\n');
    if (lines.isEmpty() || lines.first().trimmed() != kMagic) return std::nullopt;
    FilmIndex index;
    bool haveName = false, haveKey = false, haveSize = false, haveRanges = false;
    for (const QByteArray& raw : lines.mid(1)) {
        const QByteArray line = raw.endsWith('\r') ? raw.chopped(1) : raw;
        if (line.isEmpty()) continue;
        const int eq = line.indexOf('=');
        if (eq <= 0) return std::nullopt;
        const QByteArray field = line.left(eq);
        const QString value = QString::fromUtf8(line.mid(eq + 1));
        if (field == "name") {
            index.name = value;
            haveName = true;
        } else if (field == "key") {
            index.key = value;
            haveKey = true;
        } else if (field == "size") {
            bool ok = false;
            index.size = value.toLongLong(&ok);
            if (!ok || index.size < -1) return std::nullopt;
            haveSize = true;
        } else if (field == "ranges") {
            auto ranges = RangeSet::fromText(value);
            if (!ranges) return std::nullopt;
            index.ranges = *ranges;
            haveRanges = true;
        }
    }
    if (!haveName || !haveKey || !haveSize || !haveRanges) return std::nullopt;
    if (index.size >= 0) index.ranges.clip(index.size);
    return index;
}

QString filmIndexPath(const QString& cacheFolder, const QString& name) {
    // Hashed so that a name of 255 bytes still leaves room for the suffix.
    const QByteArray digest = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QDir(cacheFolder).filePath(kIndexFolder + u'/' + QString::fromLatin1(digest.left(24)) + ".idx");
}

std::optional<FilmIndex> loadFilmIndex(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestIndex) return std::nullopt;
    return parseFilmIndex(file.readAll());
}

bool saveFilmIndex(const QString& path, const FilmIndex& index, QString* why) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!makePrivateFolder(folder)) {
        if (why) *why = QStringLiteral("cannot create the folder %1").arg(folder);
        return false;
    }
    return writeFileAtomically(path, formatFilmIndex(index), why);
}

int removeInterruptedIndexWrites(const QString& cacheFolder) {
    return removeInterruptedWrites(QDir(cacheFolder).filePath(kIndexFolder), {QStringLiteral("*.idx")});
}

}  // namespace qarvel::engine
