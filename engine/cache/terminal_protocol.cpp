#include "engine/cache/terminal_protocol.h"

#include <QMessageAuthenticationCode>
#include <QUrlQuery>

namespace qarvel::engine {

namespace {

bool isAlnumText(QByteArrayView text, qsizetype shortest, qsizetype longest) {
    if (text.size() < shortest || text.size() > longest) return false;
    for (char c : text)
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    return true;
}

bool isTokenText(const QByteArray& token) { return isAlnumText(token, 1, 128); }

QString field(const QUrlQuery& q, const char* name) { return q.queryItemValue(name, QUrl::FullyDecoded); }

std::optional<qint64> number(const QUrlQuery& q, const char* name, qint64 lowest, qint64 highest) {
    bool ok = false;
    const qint64 n = field(q, name).toLongLong(&ok);
    if (!ok || n < lowest || n > highest) return std::nullopt;
    return n;
}

QUrlQuery queryOf(const QByteArray& body) { return QUrlQuery(QString::fromUtf8(body)); }

void add(QUrlQuery& q, const char* name, const QString& value) {
    // Every character that could end a field travels escaped.
    q.addQueryItem(name, QString::fromLatin1(QUrl::toPercentEncoding(value)));
}

}  // namespace

QByteArray formatTerminalAddress(const TerminalAddress& address) {
    return QByteArray::number(address.port) + ' ' + address.token + ' ' + address.key + '\n';
}

std::optional<TerminalAddress> parseTerminalAddress(const QByteArray& text) {
    const QList<QByteArray> parts = text.trimmed().split(' ');
    if (parts.size() != 3) return std::nullopt;
    bool ok = false;
    const int port = parts[0].toInt(&ok);
    if (!ok || port <= 0 || port > 65535 || !isTokenText(parts[1]) || !isTokenText(parts[2])) return std::nullopt;
    return TerminalAddress{port, parts[1], parts[2]};
}

bool isProofNonce(QByteArrayView nonce) { return isAlnumText(nonce, 16, 64); }

QByteArray terminalProof(const QByteArray& key, QByteArrayView nonce) {
    return QMessageAuthenticationCode::hash(nonce.toByteArray(), key, QCryptographicHash::Sha256).toHex();
}

QByteArray encodeFilmSource(const FilmSource& source) {
    QUrlQuery q;
    add(q, "key", source.key);
    add(q, "name", source.name);
    add(q, "size", QString::number(source.size));
    for (const QUrl& url : source.urls) add(q, "url", url.toString(QUrl::FullyEncoded));
    return q.toString(QUrl::FullyEncoded).toUtf8();
}

std::optional<FilmSource> decodeFilmSource(const QByteArray& body) {
    const QUrlQuery q = queryOf(body);
    FilmSource source;
    source.key = field(q, "key");
    source.name = field(q, "name");
    const auto size = number(q, "size", -1, std::numeric_limits<qint64>::max());
    if (source.key.isEmpty() || source.name.isEmpty() || !size) return std::nullopt;
    source.size = *size;
    for (const QString& text : q.allQueryItemValues("url", QUrl::FullyDecoded)) {
        const QUrl url(text, QUrl::StrictMode);
        if (!url.isValid() || (url.scheme() != "http" && url.scheme() != "https")) return std::nullopt;
        source.urls << url;
    }
    if (source.urls.isEmpty()) return std::nullopt;
    return source;
}

QByteArray encodeTerminalFilm(const TerminalFilm& film) {
    QUrlQuery q;
    add(q, "id", film.id);
    add(q, "size", QString::number(film.size));
    add(q, "progress", QString::number(film.progress));
    add(q, "rate", QString::number(film.rateKBps));
    add(q, "condition", QString::number(int(film.condition)));
    add(q, "cacheable", film.cacheable ? "1" : "0");
    add(q, "path", film.path);
    return q.toString(QUrl::FullyEncoded).toUtf8();
}

std::optional<TerminalFilm> decodeTerminalFilm(const QByteArray& body) {
    const QUrlQuery q = queryOf(body);
    TerminalFilm film;
    film.id = field(q, "id");
    const auto size = number(q, "size", -1, std::numeric_limits<qint64>::max());
    const auto progress = number(q, "progress", 0, 1000);
    const auto rate = number(q, "rate", 0, std::numeric_limits<int>::max());
    const auto condition = number(q, "condition", int(FetchCondition::None), int(FetchCondition::Failed));
    const QString cacheable = field(q, "cacheable");
    if (film.id.isEmpty() || !size || !progress || !rate || !condition || (cacheable != "0" && cacheable != "1"))
        return std::nullopt;
    film.size = *size;
    film.progress = int(*progress);
    film.rateKBps = int(*rate);
    film.condition = FetchCondition(*condition);
    film.cacheable = cacheable == "1";
    film.path = field(q, "path");
    return film;
}

}  // namespace qarvel::engine
