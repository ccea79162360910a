#include "engine/cache/film_fetcher.h"

#include "engine/cache/fetch_thread.h"
#include "engine/cache/http_range.h"

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
      film_(std::move(film)),
      host_(host),
      persistence_(persistence),
      timing_(timing),
      retry_(this),  // children, so that they move to the network thread with the fetcher
      save_(this) {
    dead_.fill(false, film_->urls().size());
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &FilmFetcher::issueRequest);
    save_.setInterval(timing_.saveEveryMs);
    connect(&save_, &QTimer::timeout, this, [this] { film_->saveIndex(); });
}

FilmFetcher::~FilmFetcher() { stop(); }

void FilmFetcher::start() {
    if (film_->isComplete()) {
        finish(FetchCondition::Complete);
        return;
    }
    save_.start();
    issueRequest();
}

void FilmFetcher::stop() {
    retry_.stop();
    save_.stop();
    dropReply();
    // Between two attempts there is no request, but what arrived before still
    // has to be recorded; an ended fetch recorded it as it ended.
    if (!ended_) film_->saveIndex();
}

void FilmFetcher::want(qint64 offset) {
    if (ended_ || offset < 0 || film_->hasArrived(offset)) return;
    // Data just ahead of the current request arrives soon without moving.
    if (reply_ && offset >= pos_ && offset < pos_ + kNearAheadBytes && (requestEnd_ < 0 || offset < requestEnd_)) {
        return;
    }
    want_ = offset;
    if (reply_) {
        dropReply();
        issueRequest();
    }
    // Between retries the wish waits for the next attempt.
}

int FilmFetcher::nextLiveSource(int from) const {
    const int count = dead_.size();
    for (int i = 0; i < count; ++i) {
        const int candidate = (from + i) % count;
        if (!dead_[candidate]) return candidate;
    }
    return -1;
}

void FilmFetcher::issueRequest() {
    if (ended_) return;
    const qint64 size = film_->size();
    qint64 begin = 0;
    qint64 end = -1;
    if (size >= 0) {
        const auto gap = film_->nextGap(want_ >= 0 ? want_ : pos_);
        if (!gap) {
            finish(FetchCondition::Complete);
            return;
        }
        begin = gap->begin;
        end = gap->end;
    }
    source_ = nextLiveSource(source_);
    if (source_ < 0) {
        finish(FetchCondition::Failed);
        return;
    }

    QNetworkRequest request(film_->urls().at(source_));
    request.setRawHeader("Range", rangeHeader(begin, end));
    request.setTransferTimeout(timing_.stallMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    want_ = -1;
    pos_ = begin;
    requestEnd_ = end;
    skip_ = 0;
    receivedThisRequest_ = 0;
    headersChecked_ = false;
    reply_ = host_->network()->get(request);
    connect(reply_, &QNetworkReply::readyRead, this, &FilmFetcher::onReadyRead);
    connect(reply_, &QNetworkReply::finished, this, &FilmFetcher::onFinished);
}

FilmFetcher::Verdict FilmFetcher::checkHeaders() {
    headersChecked_ = true;
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool sizeWasKnown = film_->size() >= 0;
    qint64 total = -1;
    if (status == 206) {
        const auto range = parseContentRange(reply_->rawHeader("Content-Range"));
        if (!range || range->first != pos_) return Verdict::Permanent;
        total = range->total;
    } else if (status == 200) {
        // The source ignored the range and sends the whole film.
        const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
        total = length.isValid() ? length.toLongLong() : -1;
        skip_ = pos_;
    } else {
        return isPermanentStatus(status) ? Verdict::Permanent : Verdict::Transient;
    }

    if (!sizeWasKnown) {
        if (total <= 0 || looksUncacheable(reply_)) return Verdict::NotCacheable;
        film_->setSize(total);
        if (requestEnd_ < 0) requestEnd_ = total;
        film_->saveIndex();
        emit sizeKnown(true);
    } else if (total >= 0 && total != film_->size()) {
        return Verdict::Permanent;  // this source holds a different film
    }
    return Verdict::Fine;
}

void FilmFetcher::onReadyRead() {
    if (!reply_) return;
    if (!headersChecked_) {
        const Verdict verdict = checkHeaders();
        if (verdict != Verdict::Fine) {
            dropReply();
            handleFailure(verdict, "unusable answer from source");
            return;
        }
    }
    QByteArray data = reply_->readAll();
    if (skip_ > 0) {
        const qint64 dropped = std::min<qint64>(skip_, data.size());
        data.remove(0, dropped);
        skip_ -= dropped;
    }
    if (requestEnd_ >= 0 && pos_ + data.size() > requestEnd_) data.truncate(requestEnd_ - pos_);
    if (!data.isEmpty()) {
        if (!film_->write(pos_, data.constData(), data.size())) {
            dropReply();
            finish(FetchCondition::Failed);  // the disk refuses: nothing to retry
            return;
        }
        pos_ += data.size();
        receivedThisRequest_ += data.size();
        everReceived_ = true;
        failures_ = 0;
        film_->setCondition(FetchCondition::Transferring);
    }
    // This gap is filled (or ran into bytes already here): go on with the next.
    if ((requestEnd_ >= 0 && pos_ >= requestEnd_) || film_->hasArrived(pos_)) {
        dropReply();
        issueRequest();
    }
}

void FilmFetcher::onFinished() {
    if (!reply_) return;
    QNetworkReply* reply = reply_;
    if (!headersChecked_ && reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
        const Verdict verdict = checkHeaders();
        if (verdict != Verdict::Fine) {
            dropReply();
            handleFailure(verdict, "unusable answer from source");
            return;
        }
    }
    if (reply->bytesAvailable() > 0) onReadyRead();
    if (reply_ != reply) return;  // onReadyRead moved on already
    const bool broken = reply->error() != QNetworkReply::NoError;
    const QString why = reply->errorString();
    dropReply();
    if (broken || receivedThisRequest_ == 0) {
        handleFailure(Verdict::Transient, why);
    } else {
        issueRequest();  // the source ended early but cleanly: ask for the rest
    }
}

void FilmFetcher::dropReply() {
    if (!reply_) return;
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

bool FilmFetcher::shouldGiveUp() const {
    if (persistence_ == Persistence::Bounded) return failures_ >= kAttemptsWhenBounded;
    return failures_ >= kAttemptsBeforeData && !everReceived_ && film_->arrivedBytes() == 0;
}

void FilmFetcher::handleFailure(Verdict verdict, const QString& why) {
    Q_UNUSED(why);
    if (verdict == Verdict::NotCacheable) {
        emit sizeKnown(false);
        finish(FetchCondition::Failed);
        return;
    }
    if (verdict == Verdict::Permanent) {
        if (source_ >= 0 && source_ < dead_.size()) dead_[source_] = true;
        if (nextLiveSource(source_) < 0) {
            finish(FetchCondition::Failed);
        } else {
            issueRequest();
        }
        return;
    }
    ++failures_;
    if (shouldGiveUp()) {
        finish(FetchCondition::Failed);
        return;
    }
    source_ = (source_ + 1) % std::max<qsizetype>(1, dead_.size());
    film_->setCondition(film_->arrivedBytes() > 0 ? FetchCondition::Reconnecting : FetchCondition::Connecting);
    const int delay = std::min(timing_.longestRetryMs, timing_.firstRetryMs << std::min(failures_ - 1, 8));
    retry_.start(delay);
}

void FilmFetcher::finish(FetchCondition condition) {
    if (ended_) return;
    ended_ = true;
    retry_.stop();
    save_.stop();
    dropReply();
    film_->saveIndex();
    film_->setCondition(condition);
    emit ended();
}

}  // namespace qarvel::engine
