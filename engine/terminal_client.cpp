#include "engine/terminal_client.h"

#include "common/atomic_file.h"
#include "common/logging.h"

#include <QDateTime>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QTimer>

namespace qarvel::engine {

namespace {

constexpr int kRetryMs = 200;
// A start asked for finds nothing to do while a service of the folder still
// runs, though it may be one on its way out (its address gone): asked again
// after this long of silence with no address written.
constexpr int kStartAgainMs = 2000;
constexpr int kStatusTimeoutMs = 3000;
constexpr int kOpenTimeoutMs = 10000;
constexpr int kProofTimeoutMs = 3000;

qint64 now() { return QDateTime::currentMSecsSinceEpoch(); }

// The name is for the player's eyes only; a separator in it would make another path.
QString pathName(const QString& name) { return QString(name).replace(u'/', u'_'); }

}  // namespace

TerminalClient::TerminalClient(std::function<QString()> addressFile, std::function<void()> startService,
                               QObject* parent)
    : QObject(parent),
      addressFile_(std::move(addressFile)),
      startService_(std::move(startService)),
      network_(new QNetworkAccessManager(this)) {
    // Loopback only: no proxy of the environment stands in between.
    network_->setProxy(QNetworkProxy::NoProxy);
}

std::optional<TerminalAddress> TerminalClient::address() const {
    const auto bytes = readWholeFile(addressFile_());
    return bytes ? parseTerminalAddress(*bytes) : std::nullopt;
}

std::optional<TerminalAddress> TerminalClient::provedAddress() const {
    const auto a = address();
    return a && a == proved_ ? a : std::nullopt;
}

QUrl TerminalClient::loopbackUrl(const QString& path) const {
    const auto a = provedAddress();
    if (!a) return {};
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(a->port);
    url.setPath(QLatin1Char('/') + QString::fromLatin1(a->token) + path);
    return url;
}

QUrl TerminalClient::filmUrl(const TerminalFilm& film, const QString& name) const {
    return loopbackUrl(QStringLiteral("/film/%1/%2").arg(film.id, pathName(name)));
}

QUrl TerminalClient::playUrl(const FilmSource& source) const {
    if (source.size < 0) return {};
    QUrl url = loopbackUrl(QStringLiteral("/play/") + pathName(source.name));
    if (!url.isEmpty()) url.setQuery(QString::fromLatin1(encodeFilmSource(source)), QUrl::StrictMode);
    return url;
}

bool TerminalClient::isProved() const { return provedAddress().has_value(); }

void TerminalClient::prove(int patienceMs) {
    const auto a = address();
    if (a && a == proved_) return;
    if (!a) {
        // The service writes its address as it starts.
        if (patienceMs > 0) QTimer::singleShot(kRetryMs, this, [this, patienceMs] { prove(patienceMs - kRetryMs); });
        return;
    }
    whenProved(
        *a, [] {}, [](int, const QByteArray&) {}, kProofTimeoutMs);
}

void TerminalClient::post(const QString& path, const QByteArray& body, std::function<void(int, QByteArray)> done,
                          int timeoutMs) {
    const auto a = address();
    if (!a) {
        QTimer::singleShot(0, this, [done] { done(0, {}); });
        return;
    }
    if (a != proved_) {
        whenProved(
            *a, [=, this] { post(path, body, done, timeoutMs); }, done, timeoutMs);
        return;
    }
    QNetworkRequest req(QUrl(QStringLiteral("http://127.0.0.1:%1/%2%3").arg(a->port).arg(a->token, path)));
    req.setTransferTimeout(timeoutMs);
    req.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
    QNetworkReply* reply = body.isNull() ? network_->get(req) : network_->post(req, body);
    const quint64 generation = generation_;
    connect(reply, &QNetworkReply::finished, this, [this, reply, done, generation] {
        reply->deleteLater();
        if (generation != generation_) return;
        done(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll());
    });
}

void TerminalClient::whenProved(const TerminalAddress& address, std::function<void()> next,
                                std::function<void(int, QByteArray)> done, int timeoutMs) {
    QByteArray nonce(32, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(nonce.data()), nonce.size() / 4);
    nonce = nonce.toHex();
    QNetworkRequest req(QUrl(QStringLiteral("http://127.0.0.1:%1/proof/%2").arg(address.port).arg(nonce)));
    req.setTransferTimeout(std::min(timeoutMs, kProofTimeoutMs));
    QNetworkReply* reply = network_->get(req);
    const quint64 generation = generation_;
    connect(reply, &QNetworkReply::finished, this, [=, this] {
        reply->deleteLater();
        if (generation != generation_) return;
        const bool ok = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200 &&
                        reply->read(256) == terminalProof(address.key, nonce);
        if (!ok) {
            // A stranger on the port of a service that is gone: as good as no answer.
            qCWarning(lcEngine, "no download service of ours at port %d", address.port);
            return done(0, {});
        }
        proved_ = address;
        next();
    });
}

void TerminalClient::open(const FilmSource& source, bool forPlaying, Done done, int patienceMs) {
    tryOpen(source, forPlaying, std::move(done), now() + patienceMs, 0);
}

void TerminalClient::tryOpen(const FilmSource& source, bool forPlaying, Done done, qint64 giveUpAt,
                             qint64 startAskedAt) {
    const quint64 generation = generation_;
    post(
        forPlaying ? QStringLiteral("/open") : QStringLiteral("/preload"), encodeFilmSource(source),
        [=, this](int status, const QByteArray& body) {
            if (status == 200) {
                if (done) done(decodeTerminalFilm(body));
                return;
            }
            // An answer other than success is the service's word; silence is not.
            if (status != 0 || now() >= giveUpAt) {
                if (done) done(std::nullopt);
                return;
            }
            qint64 askedAt = startAskedAt;
            const bool again = askedAt != 0 && now() - askedAt >= kStartAgainMs && !address();
            if (startService_ && (askedAt == 0 || again)) {
                askedAt = now();
                startService_();
            }
            QTimer::singleShot(kRetryMs, this, [=, this] {
                if (generation == generation_) tryOpen(source, forPlaying, done, giveUpAt, askedAt);
            });
        },
        kOpenTimeoutMs);
}

void TerminalClient::status(const QString& id, Done done) {
    post(
        QStringLiteral("/status/") + id, QByteArray(),
        [done](int status, const QByteArray& body) { done(status == 200 ? decodeTerminalFilm(body) : std::nullopt); },
        kStatusTimeoutMs);
}

}  // namespace qarvel::engine
