#pragma once
// What an address handed to the player means: a local file, a "qvod://" film
// that resolves against the engine's sources, an HTTP film, a stream the player
// opens itself, or something that is refused.
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

namespace qarvel::engine {

// "qvod://" SIZE "|" HASH "|" NAME "|"
struct QvodAddress {
    qint64 size = 0;
    QString hash;
    QString name;
};

enum class AddressKind { Empty, LocalFile, Qvod, Http, Stream, Unsupported };

struct MediaAddress {
    AddressKind kind = AddressKind::Empty;
    QString localPath;  // LocalFile
    QUrl url;           // Http, Stream
    QvodAddress qvod;   // Qvod
    QString error;      // Unsupported: why
};

std::optional<QvodAddress> parseQvodAddress(const QString& address);
MediaAddress classifyAddress(const QString& address);

// A name that can stand alone in the cache folder: no folder parts, no control
// characters, not "." or "..", at most 255 bytes.
bool isPlainFileName(const QString& name);

// The addresses a "qvod" film is fetched from, one per usable source, in order.
QList<QUrl> qvodSourceUrls(const QvodAddress& film, const QStringList& sources);

// The name an HTTP film is stored under: the last part of its path, or a name
// derived from the address when that part cannot be a file name.
QString cacheNameForUrl(const QUrl& url);

}  // namespace qarvel::engine
