#pragma once
// The download service's loopback server: films of the cache to the player,
// with ranges, while they arrive (a read waits for the bytes it needs and
// sends the fetch there first), and the small status and command requests.
// Listens on 127.0.0.1 only and answers only paths that start with its token.
#include "engine/call_queue.h"
#include "engine/film_cache.h"
#include "engine/terminal_protocol.h"

#include <QObject>
#include <QSet>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace qarvel::engine {

class TerminalServer : public QObject {
    Q_OBJECT
public:
    // The cache lives on this object's thread, which must run an event loop:
    // requests reach the cache there.
    TerminalServer(FilmCache& cache, QByteArray token, QObject* parent = nullptr);
    ~TerminalServer() override;

    // Listens on a free loopback port; returns once it serves. False when it cannot.
    bool listen();
    int port() const { return port_; }
    QByteArray token() const { return token_; }
    // Stops serving; reads waiting for data give up. Bounded: waits at most a few seconds.
    void stop();

private:
    bool tokenMatches(const std::string& text) const;
    void open(const httplib::Request& req, httplib::Response& res, bool forPlaying);
    void status(const httplib::Request& req, httplib::Response& res);
    void film(const httplib::Request& req, httplib::Response& res);
    TerminalFilm describe(const QString& id, const std::shared_ptr<CachedFilm>& film) const;

    FilmCache& cache_;
    CallQueue calls_{this};  // to the cache's thread
    QByteArray token_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    QSet<QString> uncacheable_;                // stream ids whose source cannot be cached
    QList<std::weak_ptr<CachedFilm>> served_;  // woken when the server stops
};

}  // namespace qarvel::engine
