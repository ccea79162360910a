#pragma once
// The download service's loopback server: films of the cache to the player,
// with ranges, while they arrive (a read waits for the bytes it needs and
// sends the fetch there first), and the small status and command requests.
// Listens on 127.0.0.1 only and answers only paths that start with its token;
// behind the request gate, so a request without it is refused as soon as its
// request line has arrived, and no client holds more than a bounded share.
#include "engine/cache/call_queue.h"
#include "engine/cache/film_cache.h"
#include "engine/cache/terminal_protocol.h"

#include <QObject>
#include <QSet>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

namespace qarvel {
class GatedServer;
}

namespace qarvel::engine {

class TerminalServer : public QObject {
    Q_OBJECT
public:
    // The cache lives on this object's thread, which must run an event loop:
    // requests reach the cache there.
    // token starts every path; key proves to a player that this is its service.
    TerminalServer(FilmCache& cache, QByteArray token, QByteArray key, QObject* parent = nullptr);
    ~TerminalServer() override;

    // Listens on a free loopback port; returns once it serves. False when it cannot.
    bool listen();
    int port() const { return port_; }
    QByteArray token() const { return token_; }
    QByteArray key() const { return key_; }
    // Stops serving; reads waiting for data give up. Bounded: waits at most a few seconds.
    void stop();
    // Time since a request with the token last arrived (or since the start).
    std::chrono::milliseconds sinceLastAsked() const;
    // Whether a film it was given is still being fetched.
    bool fetching() const;

private:
    bool tokenMatches(std::string_view text) const;
    bool acceptRequestLine(std::string_view line);
    void open(const httplib::Request& req, httplib::Response& res, bool forPlaying);
    void status(const httplib::Request& req, httplib::Response& res);
    void film(const httplib::Request& req, httplib::Response& res);
    void play(const httplib::Request& req, httplib::Response& res);
    // The film of a source in the cache, fetched for playing or ahead of
    // time, with its stream id; null (with the reason) when the cache cannot hold it.
    std::shared_ptr<CachedFilm> openFilm(const FilmSource& source, bool forPlaying, QString* id, QString* why);
    void serve(const std::shared_ptr<CachedFilm>& film, httplib::Response& res);
    TerminalFilm describe(const QString& id, const std::shared_ptr<CachedFilm>& film) const;

    FilmCache& cache_;
    CallQueue calls_{this};  // to the cache's thread
    QByteArray token_;
    QByteArray key_;
    std::unique_ptr<GatedServer> server_;
    std::atomic<std::chrono::steady_clock::rep> lastAsked_;
    std::thread thread_;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    QSet<QString> uncacheable_;                // stream ids whose source cannot be cached
    QList<std::weak_ptr<CachedFilm>> served_;  // woken when the server stops
};

}  // namespace qarvel::engine
