#pragma once
// What the player and the download service (qarvel-terminal) say to each
// other over loopback HTTP. The service writes its port, a per-start token and
// a per-start key into the player folder (the user's alone); every request
// path starts with the token, so no other local user reads the cache through
// it. The address outlives a killed service, and another program may listen
// on its port since: before the token or a film goes there, the player asks
// for a proof that only the holder of the key can give.
//
//     GET  /proof/NONCE                           answer: terminalProof(key, NONCE)
//     POST /TOKEN/open      body: a film source   answer: its status (fetched for playing)
//     POST /TOKEN/preload   body: a film source   answer: its status (fetched ahead of time)
//     GET  /TOKEN/status/ID                       answer: its status
//     GET  /TOKEN/film/ID/NAME                    the film's bytes, with ranges
//     GET  /TOKEN/play/NAME?SOURCE                opens a film of known size for
//                                                 playing and sends its bytes, with ranges
#include "engine/cache/cached_film.h"
#include "engine/cache/fetch_condition.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace qarvel::engine {

struct TerminalAddress {
    int port = 0;
    QByteArray token;  // letters and digits only
    QByteArray key;    // letters and digits only; never sent

    bool operator==(const TerminalAddress&) const = default;
};

// "PORT TOKEN KEY\n", as the service writes it.
QByteArray formatTerminalAddress(const TerminalAddress& address);
std::optional<TerminalAddress> parseTerminalAddress(const QByteArray& text);

// Letters and digits, 16 to 64 of them: a nonce the player makes up.
bool isProofNonce(QByteArrayView nonce);
// HMAC-SHA256 of the nonce under the key, in hex.
QByteArray terminalProof(const QByteArray& key, QByteArrayView nonce);

// A film source as a form body: key, name, size and one url per source.
QByteArray encodeFilmSource(const FilmSource& source);
// Nothing when a field is missing or malformed (no key, no name, no http url).
std::optional<FilmSource> decodeFilmSource(const QByteArray& body);

// A film in the service as the player sees it.
struct TerminalFilm {
    QString id;        // the service's stream id
    qint64 size = -1;  // -1 until the source tells
    int progress = 0;  // 0..1000
    int rateKBps = 0;  // current fetch speed
    FetchCondition condition = FetchCondition::Connecting;
    bool cacheable = true;  // false: the source cannot be cached, play it directly
    QString path;           // the film's file in the cache folder
};

QByteArray encodeTerminalFilm(const TerminalFilm& film);
std::optional<TerminalFilm> decodeTerminalFilm(const QByteArray& body);

}  // namespace qarvel::engine
