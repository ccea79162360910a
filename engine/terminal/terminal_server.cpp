#include "engine/terminal/terminal_server.h"

#include "common/request_gate.h"

#include <httplib.h>

#include <chrono>

namespace qarvel::engine {

namespace {

constexpr int kChunk = 64 * 1024;
// How long a film's first request waits for the source to tell its size.
constexpr auto kSizeWait = std::chrono::seconds(30);

using Clock = std::chrono::steady_clock;

// The player holds a few connections at a time (film reads, status, open);
// the rest of the bound is for clients that are refused or run out of time.
RequestLimits terminalLimits() {
    RequestLimits limits;
    limits.headBytes = 16 * 1024;
    limits.headerCount = 48;
    limits.deadline = std::chrono::seconds(5);
    limits.workers = 48;
    limits.connections = 128;
    limits.rangeToHandlers = false;  // the library answers the film's ranges
    return limits;
}

void answer(httplib::Response& res, int status, const QByteArray& body = {}) {
    res.status = status;
    res.set_content(body.toStdString(), "application/x-www-form-urlencoded");
}

}  // namespace

TerminalServer::TerminalServer(FilmCache& cache, QByteArray token, QByteArray key, QObject* parent)
    : QObject(parent),
      cache_(cache),
      token_(std::move(token)),
      key_(std::move(key)),
      lastAsked_(Clock::now().time_since_epoch().count()) {
    RequestLimits limits = terminalLimits();
    limits.acceptRequestLine = [this](std::string_view line) { return acceptRequestLine(line); };
    server_ = std::make_unique<GatedServer>(std::move(limits));
    connect(&cache_, &FilmCache::sizeKnown, this, [this](const QString& id, bool cacheable) {
        std::lock_guard lock(mutex_);
        if (!cacheable) uncacheable_.insert(id);
    });
    // An idle kept-alive connection is noticed within its time-out, also by
    // stop(): a short one lets SIGTERM end the service at once.
    server_->set_keep_alive_timeout(1);
    server_->Get(R"(/proof/([A-Za-z0-9]+))", [this](const httplib::Request& req, httplib::Response& res) {
        answer(res, 200, terminalProof(key_, QByteArray::fromStdString(req.matches[1])));
    });
    server_->Post(R"(/[A-Za-z0-9]+/open)",
                  [this](const httplib::Request& req, httplib::Response& res) { open(req, res, true); });
    server_->Post(R"(/[A-Za-z0-9]+/preload)",
                  [this](const httplib::Request& req, httplib::Response& res) { open(req, res, false); });
    server_->Get(R"(/[A-Za-z0-9]+/status/([A-Za-z0-9]+))",
                 [this](const httplib::Request& req, httplib::Response& res) { status(req, res); });
    server_->Get(R"(/[A-Za-z0-9]+/film/([A-Za-z0-9]+)/[^/]*)",
                 [this](const httplib::Request& req, httplib::Response& res) { film(req, res); });
    server_->Get(R"(/[A-Za-z0-9]+/play/[^/]*)",
                 [this](const httplib::Request& req, httplib::Response& res) { play(req, res); });
}

TerminalServer::~TerminalServer() { stop(); }

// Every path starts with the token: "METHOD /TOKEN/... HTTP/1.1"; only the
// proof is asked without it.
bool TerminalServer::acceptRequestLine(std::string_view line) {
    const size_t slash = line.find(' ');
    if (slash == std::string_view::npos || slash + 1 >= line.size() || line[slash + 1] != '/') return false;
    const std::string_view path = line.substr(slash + 2);
    const size_t end = path.find('/');
    if (end == std::string_view::npos) return false;
    if (line.substr(0, slash) == "GET" && path.substr(0, end) == "proof") {
        const std::string_view nonce = path.substr(end + 1, path.find(' ') - end - 1);
        return isProofNonce(QByteArrayView(nonce.data(), qsizetype(nonce.size())));
    }
    if (!tokenMatches(path.substr(0, end))) return false;
    lastAsked_ = Clock::now().time_since_epoch().count();
    return true;
}

std::chrono::milliseconds TerminalServer::sinceLastAsked() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() -
                                                                 Clock::time_point(Clock::duration(lastAsked_.load())));
}

bool TerminalServer::fetching() const {
    std::lock_guard lock(mutex_);
    for (const auto& weak : served_) {
        const auto film = weak.lock();
        const FetchCondition c = film ? film->condition() : FetchCondition::None;
        if (c == FetchCondition::Connecting || c == FetchCondition::Transferring || c == FetchCondition::Reconnecting)
            return true;
    }
    return false;
}

bool TerminalServer::tokenMatches(std::string_view text) const {
    if (text.size() != size_t(token_.size())) return false;
    // Every byte compared, whatever the first difference: no timing to learn it from.
    unsigned char diff = 0;
    for (size_t i = 0; i < text.size(); ++i) diff |= static_cast<unsigned char>(text[i] ^ token_[qsizetype(i)]);
    return diff == 0;
}

bool TerminalServer::listen() {
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) return false;
    thread_ = std::thread([server = server_.get()] { server->listen_after_bind(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!server_->is_running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return server_->is_running();
}

void TerminalServer::stop() {
    if (stopping_.exchange(true)) return;
    {
        std::lock_guard lock(mutex_);
        for (const auto& weak : served_)
            if (auto film = weak.lock()) film->wakeReaders();
    }
    server_->stop();
    if (thread_.joinable()) thread_.join();
}

TerminalFilm TerminalServer::describe(const QString& id, const std::shared_ptr<CachedFilm>& film) const {
    TerminalFilm f;
    f.id = id;
    f.size = film->size();
    f.progress = film->progressPerMille();
    f.rateKBps = int(std::min<qint64>(std::numeric_limits<int>::max(), film->bytesPerSecond() / 1024));
    f.condition = film->condition();
    f.path = film->path();
    std::lock_guard lock(mutex_);
    f.cacheable = !uncacheable_.contains(id);
    return f;
}

std::shared_ptr<CachedFilm> TerminalServer::openFilm(const FilmSource& source, bool forPlaying, QString* id,
                                                     QString* why) {
    std::shared_ptr<CachedFilm> film;
    // The cache belongs to this object's thread.
    calls_.runAndWait([&] {
        if (forPlaying) {
            film = cache_.fetchForPlaying(source, why);
        } else if (cache_.preload(source, why)) {
            film = cache_.preloadedFilm();
        }
        if (film) *id = cache_.streamIdOf(film);
    });
    if (!film) return nullptr;
    std::lock_guard lock(mutex_);
    served_.removeIf([&film](const std::weak_ptr<CachedFilm>& weak) {
        const auto served = weak.lock();
        return !served || served == film;
    });
    served_ << film;
    return film;
}

void TerminalServer::open(const httplib::Request& req, httplib::Response& res, bool forPlaying) {
    const auto source = decodeFilmSource(QByteArray::fromStdString(req.body));
    if (!source) return answer(res, 400, "error=source");
    QString id, why;
    const auto film = openFilm(*source, forPlaying, &id, &why);
    if (!film) return answer(res, 507, "error=" + QUrl::toPercentEncoding(why));
    answer(res, 200, encodeTerminalFilm(describe(id, film)));
}

void TerminalServer::status(const httplib::Request& req, httplib::Response& res) {
    const QString id = QString::fromStdString(req.matches[1]);
    const auto film = cache_.filmForStream(id);
    if (!film) return answer(res, 404);
    answer(res, 200, encodeTerminalFilm(describe(id, film)));
}

void TerminalServer::film(const httplib::Request& req, httplib::Response& res) {
    const auto film = cache_.filmForStream(QString::fromStdString(req.matches[1]));
    if (!film) return answer(res, 404);
    serve(film, res);
}

void TerminalServer::play(const httplib::Request& req, httplib::Response& res) {
    const size_t mark = req.target.find('?');
    const auto source = decodeFilmSource(
        mark == std::string::npos ? QByteArray() : QByteArray::fromStdString(req.target.substr(mark + 1)));
    // Only a film of known size: one whose source cannot be cached is played
    // from the source, which only open's answer can tell the player.
    if (!source || source->size < 0) return answer(res, 400, "error=source");
    QString id, why;
    const auto film = openFilm(*source, true, &id, &why);
    if (!film) return answer(res, 507, "error=" + QUrl::toPercentEncoding(why));
    serve(film, res);
}

void TerminalServer::serve(const std::shared_ptr<CachedFilm>& film, httplib::Response& res) {
    // A cold film's size comes with the source's first answer; the player's
    // first frame waits on it, so it is woken, not polled.
    const qint64 size = film->waitForSize(kSizeWait, stopping_);
    if (size < 0) return answer(res, 503);
    // The status is left to the server: 206 for a range, 200 for the whole film.
    res.set_header("Accept-Ranges", "bytes");
    // A read waits for its bytes; the service's end or the film's failure ends it.
    res.set_content_provider(
        size_t(size), "application/octet-stream", [this, film](size_t offset, size_t length, httplib::DataSink& sink) {
            std::vector<char> buffer(size_t(std::min<size_t>(length, kChunk)));
            const qint64 n = film->read(qint64(offset), buffer.data(), qint64(buffer.size()), stopping_);
            if (n <= 0) return false;
            return sink.write(buffer.data(), size_t(n));
        });
}

}  // namespace qarvel::engine
