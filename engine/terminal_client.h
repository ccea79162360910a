#pragma once
// The player's side of the download service: reads the service's address from
// the player folder at every request (a restarted service has a new one),
// opens films in it, asks for their status, and has the service started
// again when it does not answer. Nothing but a nonce goes to an address
// before the service there has proved it holds the address file's key: a
// program that took the port of a killed service counts as no answer. Every
// answer arrives later on the calling thread; nothing waits.
#include "engine/cache/terminal_protocol.h"

#include <QObject>
#include <QUrl>
#include <functional>
#include <optional>

class QNetworkAccessManager;

namespace qarvel::engine {

class TerminalClient : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const std::optional<TerminalFilm>& film)>;

    // addressFile: where the service writes its address, asked at every
    // request (the player folder may change); startService: starts the
    // service of that folder when it does not answer.
    TerminalClient(std::function<QString()> addressFile, std::function<void()> startService, QObject* parent = nullptr);

    // Opens a film for playing (or ahead of time); when the service does not
    // answer it is started and asked again for up to patienceMs. done gets
    // nothing when it never answered.
    void open(const FilmSource& source, bool forPlaying, Done done, int patienceMs = 15000);
    // One question, no retry: nothing when the service did not answer.
    void status(const QString& id, Done done);
    // Where the player reads the film; empty while the service at the address has not proved itself.
    QUrl filmUrl(const TerminalFilm& film, const QString& name) const;
    // Where the player reads a film it has not opened: the service opens it
    // with the first read, so the film starts without waiting for open's
    // answer. Empty while the service at the address has not proved itself,
    // and for a film of unknown size (its source may not be cacheable).
    QUrl playUrl(const FilmSource& source) const;
    // Asks the service for its proof ahead of the first film, looking for its
    // address again for up to patienceMs while it starts. Nothing is sent to a
    // service already proved.
    void prove(int patienceMs);
    bool isProved() const;
    // Answers still on their way are dropped.
    void forgetPending() { ++generation_; }

private:
    std::optional<TerminalAddress> address() const;
    // The address, when the service there has proved itself.
    std::optional<TerminalAddress> provedAddress() const;
    // The address of a path at the service, or empty while it has not proved itself.
    QUrl loopbackUrl(const QString& path) const;
    void post(const QString& path, const QByteArray& body, std::function<void(int, QByteArray)> done, int timeoutMs);
    // Runs next once the service at address has proved itself; done(0) when it has not.
    void whenProved(const TerminalAddress& address, std::function<void()> next,
                    std::function<void(int, QByteArray)> done, int timeoutMs);
    // startAskedAt: when this open last asked for the service to be started (0: never).
    void tryOpen(const FilmSource& source, bool forPlaying, Done done, qint64 giveUpAt, qint64 startAskedAt);

    std::function<QString()> addressFile_;
    std::optional<TerminalAddress> proved_;
    std::function<void()> startService_;
    QNetworkAccessManager* network_;
    quint64 generation_ = 0;
};

}  // namespace qarvel::engine
