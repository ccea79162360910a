#include "engine/cache/media_address.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace qarvel::engine {

namespace {

constexpr qint64 kLargestFilm = qint64(1) << 42;  // 4 TiB: anything larger is a broken address
const QStringList kStreamSchemes = {"rtsp", "rtsps", "rtmp", "rtmps", "mms", "mmsh", "mmst"};

bool isAsciiAlnum(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() > 127 || !c.isLetterOrNumber()) return false;
    }
    return !text.isEmpty();
}

}  // namespace

bool isPlainFileName(const QString& name) {
    if (name.isEmpty() || name == "." || name == ".." || name.toUtf8().size() > 255) return false;
    for (QChar c : name) {
        if (c == '/' || c == '\\' || c.unicode() < 0x20 || c.unicode() == 0x7f) return false;
    }
    return true;
}

std::optional<QvodAddress> parseQvodAddress(const QString& address) {
    static const QString kScheme = "qvod://";
    if (!address.startsWith(kScheme, Qt::CaseInsensitive)) return std::nullopt;
    QStringList parts = address.mid(kScheme.size()).split('|');
    // The closing "|" leaves an empty last piece; a missing one is forgiven.
    if (parts.size() == 4 && parts.last().isEmpty()) parts.removeLast();
    if (parts.size() != 3) return std::nullopt;

    bool ok = false;
    const qint64 size = parts[0].trimmed().toLongLong(&ok);
    if (!ok || size <= 0 || size > kLargestFilm) return std::nullopt;
    const QString hash = parts[1].trimmed();
    if (!isAsciiAlnum(hash) || hash.size() > 128) return std::nullopt;
    const QString name = parts[2];
    if (!isPlainFileName(name)) return std::nullopt;
    return QvodAddress{size, hash, name};
}

MediaAddress classifyAddress(const QString& address) {
    MediaAddress result;
    const QString text = address.trimmed();
    if (text.isEmpty()) return result;

    if (text.startsWith("qvod://", Qt::CaseInsensitive)) {
        if (auto qvod = parseQvodAddress(text)) {
            result.kind = AddressKind::Qvod;
            result.qvod = *qvod;
        } else {
            result.kind = AddressKind::Unsupported;
            result.error = "malformed qvod address";
        }
        return result;
    }

    // Anything with a scheme of two or more letters is an address ("C:" is a drive).
    static const QRegularExpression kScheme("^([A-Za-z][A-Za-z0-9+.-]+):");
    const auto match = kScheme.match(text);
    if (match.hasMatch()) {
        const QString scheme = match.captured(1).toLower();
        const QUrl url(text, QUrl::StrictMode);
        const bool usable = url.isValid() && !url.host().isEmpty();
        if (scheme == "file" && url.isValid()) {
            result.kind = AddressKind::LocalFile;
            result.localPath = url.toLocalFile();
        } else if ((scheme == "http" || scheme == "https") && usable) {
            result.kind = AddressKind::Http;
            result.url = url;
        } else if (kStreamSchemes.contains(scheme) && usable) {
            result.kind = AddressKind::Stream;
            result.url = url;
        } else {
            result.kind = AddressKind::Unsupported;
            result.error = "unsupported address " + scheme + ":";
        }
        return result;
    }

    // A path: absolute as given, relative to the working folder otherwise.
    result.kind = AddressKind::LocalFile;
    result.localPath = QDir::cleanPath(QFileInfo(text).absoluteFilePath());
    return result;
}

QList<QUrl> qvodSourceUrls(const QvodAddress& film, const QStringList& sources) {
    QList<QUrl> urls;
    for (const QString& source : sources) {
        QUrl base(source.trimmed(), QUrl::StrictMode);
        const QString scheme = base.scheme().toLower();
        if (!base.isValid() || (scheme != "http" && scheme != "https") || base.host().isEmpty()) continue;
        QString path = base.path(QUrl::FullyDecoded);
        if (!path.endsWith('/')) path += '/';
        QUrl url = base;
        url.setQuery(QString());
        url.setFragment(QString());
        url.setPath(path + film.hash + "/" + film.name, QUrl::DecodedMode);
        if (url.isValid()) urls.append(url);
    }
    return urls;
}

QString cacheNameForUrl(const QUrl& url) {
    const QString name = url.fileName(QUrl::FullyDecoded);
    if (isPlainFileName(name)) return name;
    const QByteArray digest = QCryptographicHash::hash(url.toEncoded(), QCryptographicHash::Sha1).toHex();
    return "film-" + QString::fromLatin1(digest.left(16));
}

}  // namespace qarvel::engine
