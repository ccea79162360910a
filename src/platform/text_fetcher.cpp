#include "platform/text_fetcher.h"

#include "common/gbk.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace qarvel::platform {

struct TextFetcher::Pending {
    QNetworkReply* reply = nullptr;  // null when the address was refused
    Done done;
    QByteArray body;
    bool headerSeen = false;
    QTimer connectTimer;
    QTimer totalTimer;
};

TextFetcher::TextFetcher(QObject* parent) : TextFetcher(Limits{}, parent) {}

TextFetcher::TextFetcher(Limits limits, QObject* parent)
    : QObject(parent), limits_(limits), network_(new QNetworkAccessManager(this)) {}

TextFetcher::~TextFetcher() { cancelAll(); }

TextFetcher::Ticket TextFetcher::fetch(const QString& address, Done done) {
    const Ticket ticket = ++next_;
    auto* p = new Pending;
    p->done = std::move(done);
    pending_.insert(ticket, p);

    const QUrl url(address);
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https") || url.host().isEmpty()) {
        // Fails like a refused connection: later, never inside the caller.
        QTimer::singleShot(0, this, [this, ticket] { finish(ticket, false); });
        return ticket;
    }

    QNetworkRequest request(url);
    request.setTransferTimeout(limits_.readTimeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    p->reply = network_->get(request);
    // Back-pressure: the network side stops reading while this much waits
    // unread, so a flood cannot run far past the cap before it is seen.
    p->reply->setReadBufferSize(64 * 1024);

    p->connectTimer.setSingleShot(true);
    connect(&p->connectTimer, &QTimer::timeout, this, [this, ticket] { finish(ticket, false); });
    p->connectTimer.start(limits_.connectTimeoutMs);
    p->totalTimer.setSingleShot(true);
    connect(&p->totalTimer, &QTimer::timeout, this, [this, ticket] { finish(ticket, false); });
    p->totalTimer.start(limits_.totalTimeoutMs);

    connect(p->reply, &QNetworkReply::metaDataChanged, this, [this, ticket] { check(ticket); });
    connect(p->reply, &QNetworkReply::readyRead, this, [this, ticket] { check(ticket); });
    connect(p->reply, &QNetworkReply::finished, this, [this, ticket] {
        check(ticket);
        const auto it = pending_.constFind(ticket);
        if (it == pending_.cend()) return;
        const QNetworkReply* reply = (*it)->reply;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        finish(ticket, reply->error() == QNetworkReply::NoError && status >= 200 && status < 300);
    });
    return ticket;
}

// Takes in what has arrived and enforces the cap while reading, so a huge
// answer is dropped after the first megabyte instead of being held whole.
void TextFetcher::check(Ticket ticket) {
    const auto it = pending_.constFind(ticket);
    if (it == pending_.cend()) return;
    Pending* p = *it;
    if (!p->headerSeen && p->reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
        p->headerSeen = true;
        p->connectTimer.stop();
    }
    const QVariant length = p->reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > limits_.maxBytes) {
        finish(ticket, false);
        return;
    }
    p->body += p->reply->read(limits_.maxBytes + 1 - p->body.size());
    if (p->body.size() > limits_.maxBytes) finish(ticket, false);
}

void TextFetcher::finish(Ticket ticket, bool ok) {
    Pending* p = pending_.take(ticket);
    if (!p) return;
    QString text;
    if (ok) {
        const std::string utf8 = codec::gbkToUtf8(std::string_view(p->body.constData(), size_t(p->body.size())));
        text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    }
    Done done = std::move(p->done);
    release(p);
    // Last: the caller may start the next fetch from here.
    if (done) done(text);
}

void TextFetcher::release(Pending* p) {
    if (p->reply) {
        p->reply->disconnect(this);
        p->reply->abort();
        p->reply->deleteLater();
    }
    delete p;
}

void TextFetcher::cancel(Ticket ticket) {
    if (Pending* p = pending_.take(ticket)) release(p);
}

void TextFetcher::cancelAll() {
    const auto tickets = pending_.keys();
    for (Ticket t : tickets) cancel(t);
}

}  // namespace qarvel::platform
