#include "engine/film_fetcher.h"

#include "engine/fetch_thread.h"
#include "engine/http_range.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <algorithm>

namespace qarvel::engine {

namespace {

constexpr int kAttemptsBeforeData = 3;  // a source that never answered is given up on
constexpr int kAttemptsWhenBounded = 6;
constexpr qint64 kNearAheadBytes = 512 * 1024;

bool isPermanentStatus(int status) { return status >= 400 && status < 500 && status != 408 && status != 429; }

// Addresses that answer with a page or a play list are opened by the player itself.
bool looksUncacheable(const QNetworkReply* reply) {
    const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString().toLower();
    return type.startsWith("text/") || type.contains("mpegurl") || type.contains("dash+xml");
}

}  // namespace

FilmFetcher::FilmFetcher(std::shared_ptr<CachedFilm> film, NetworkHost* host, Persistence persistence,
                         FetchTiming timing, QObject* parent)
    : QObject(parent),
      m_film(std::move(film)),
      m_host(host),
      m_persistence(persistence),
      m_timing(timing),
      m_retry(this),  // children, so that they move to the network thread with the fetcher
      m_save(this) {
    m_dead.fill(false, m_film->urls().size());
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &FilmFetcher::issueRequest);
    m_save.setInterval(m_timing.saveEveryMs);
    connect(&m_save, &QTimer::timeout, this, [this] { m_film->saveIndex(); });
}

FilmFetcher::~FilmFetcher() { stop(); }

void FilmFetcher::start() {
    if (m_film->isComplete()) {
        finish(FetchCondition::Complete);
        return;
    }
    m_save.start();
    issueRequest();
}

void FilmFetcher::stop() {
    m_retry.stop();
    m_save.stop();
    dropReply();
    // Between two attempts there is no request, but what arrived before still
    // has to be recorded; an ended fetch recorded it as it ended.
    if (!m_ended) m_film->saveIndex();
}

void FilmFetcher::want(qint64 offset) {
    if (m_ended || offset < 0 || m_film->hasArrived(offset)) return;
    // Data just ahead of the current request arrives soon without moving.
    if (m_reply && offset >= m_pos && offset < m_pos + kNearAheadBytes && (m_requestEnd < 0 || offset < m_requestEnd)) {
        return;
    }
    m_want = offset;
    if (m_reply) {
        dropReply();
        issueRequest();
    }
    // Between retries the wish waits for the next attempt.
}

int FilmFetcher::nextLiveSource(int from) const {
    const int count = m_dead.size();
    for (int i = 0; i < count; ++i) {
        const int candidate = (from + i) % count;
        if (!m_dead[candidate]) return candidate;
    }
    return -1;
}

void FilmFetcher::issueRequest() {
    if (m_ended) return;
    const qint64 size = m_film->size();
    qint64 begin = 0;
    qint64 end = -1;
    if (size >= 0) {
        const auto gap = m_film->nextGap(m_want >= 0 ? m_want : m_pos);
        if (!gap) {
            finish(FetchCondition::Complete);
            return;
        }
        begin = gap->begin;
        end = gap->end;
    }
    m_source = nextLiveSource(m_source);
    if (m_source < 0) {
        finish(FetchCondition::Failed);
        return;
    }

    QNetworkRequest request(m_film->urls().at(m_source));
    request.setRawHeader("Range", rangeHeader(begin, end));
    request.setTransferTimeout(m_timing.stallMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    m_want = -1;
    m_pos = begin;
    m_requestEnd = end;
    m_skip = 0;
    m_receivedThisRequest = 0;
    m_headersChecked = false;
    m_reply = m_host->network()->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &FilmFetcher::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &FilmFetcher::onFinished);
}

FilmFetcher::Verdict FilmFetcher::checkHeaders() {
    m_headersChecked = true;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool sizeWasKnown = m_film->size() >= 0;
    qint64 total = -1;
    if (status == 206) {
        const auto range = parseContentRange(m_reply->rawHeader("Content-Range"));
        if (!range || range->first != m_pos) return Verdict::Permanent;
        total = range->total;
    } else if (status == 200) {
        // The source ignored the range and sends the whole film.
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        total = length.isValid() ? length.toLongLong() : -1;
        m_skip = m_pos;
    } else {
        return isPermanentStatus(status) ? Verdict::Permanent : Verdict::Transient;
    }

    if (!sizeWasKnown) {
        if (total <= 0 || looksUncacheable(m_reply)) return Verdict::NotCacheable;
        m_film->setSize(total);
        if (m_requestEnd < 0) m_requestEnd = total;
        m_film->saveIndex();
        emit sizeKnown(true);
    } else if (total >= 0 && total != m_film->size()) {
        return Verdict::Permanent;  // this source holds a different film
    }
    return Verdict::Fine;
}

void FilmFetcher::onReadyRead() {
    if (!m_reply) return;
    if (!m_headersChecked) {
        const Verdict verdict = checkHeaders();
        if (verdict != Verdict::Fine) {
            dropReply();
            handleFailure(verdict, "unusable answer from source");
            return;
        }
    }
    QByteArray data = m_reply->readAll();
    if (m_skip > 0) {
        const qint64 dropped = std::min<qint64>(m_skip, data.size());
        data.remove(0, dropped);
        m_skip -= dropped;
    }
    if (m_requestEnd >= 0 && m_pos + data.size() > m_requestEnd) data.truncate(m_requestEnd - m_pos);
    if (!data.isEmpty()) {
        if (!m_film->write(m_pos, data.constData(), data.size())) {
            dropReply();
            finish(FetchCondition::Failed);  // the disk refuses: nothing to retry
            return;
        }
        m_pos += data.size();
        m_receivedThisRequest += data.size();
        m_everReceived = true;
        m_failures = 0;
        m_film->setCondition(FetchCondition::Transferring);
    }
    // This gap is filled (or ran into bytes already here): go on with the next.
    if ((m_requestEnd >= 0 && m_pos >= m_requestEnd) || m_film->hasArrived(m_pos)) {
        dropReply();
        issueRequest();
    }
}

void FilmFetcher::onFinished() {
    if (!m_reply) return;
    QNetworkReply* reply = m_reply;
    if (!m_headersChecked && reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
        const Verdict verdict = checkHeaders();
        if (verdict != Verdict::Fine) {
            dropReply();
            handleFailure(verdict, "unusable answer from source");
            return;
        }
    }
    if (reply->bytesAvailable() > 0) onReadyRead();
    if (m_reply != reply) return;  // onReadyRead moved on already
    const bool broken = reply->error() != QNetworkReply::NoError;
    const QString why = reply->errorString();
    dropReply();
    if (broken || m_receivedThisRequest == 0) {
        handleFailure(Verdict::Transient, why);
    } else {
        issueRequest();  // the source ended early but cleanly: ask for the rest
    }
}

void FilmFetcher::dropReply() {
    if (!m_reply) return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

bool FilmFetcher::shouldGiveUp() const {
    if (m_persistence == Persistence::Bounded) return m_failures >= kAttemptsWhenBounded;
    return m_failures >= kAttemptsBeforeData && !m_everReceived && m_film->arrivedBytes() == 0;
}

void FilmFetcher::handleFailure(Verdict verdict, const QString& why) {
    Q_UNUSED(why);
    if (verdict == Verdict::NotCacheable) {
        emit sizeKnown(false);
        finish(FetchCondition::Failed);
        return;
    }
    if (verdict == Verdict::Permanent) {
        if (m_source >= 0 && m_source < m_dead.size()) m_dead[m_source] = true;
        if (nextLiveSource(m_source) < 0) {
            finish(FetchCondition::Failed);
        } else {
            issueRequest();
        }
        return;
    }
    ++m_failures;
    if (shouldGiveUp()) {
        finish(FetchCondition::Failed);
        return;
    }
    m_source = (m_source + 1) % std::max<qsizetype>(1, m_dead.size());
    m_film->setCondition(m_film->arrivedBytes() > 0 ? FetchCondition::Reconnecting : FetchCondition::Connecting);
    const int delay = std::min(m_timing.longestRetryMs, m_timing.firstRetryMs << std::min(m_failures - 1, 8));
    m_retry.start(delay);
}

void FilmFetcher::finish(FetchCondition condition) {
    if (m_ended) return;
    m_ended = true;
    m_retry.stop();
    m_save.stop();
    dropReply();
    m_film->saveIndex();
    m_film->setCondition(condition);
    emit ended();
}

}  // namespace qarvel::engine
