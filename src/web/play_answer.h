#pragma once
// The answer of the play request ("h.asp"), read the same way by the first
// play of an episode and by the next-episode fetch.
#include <QString>

namespace qarvel::web {

struct PlayAnswer {
    enum class Kind {
        Refused,   // "1": the service has nothing for this film, source or episode
        Nothing,   // "0" (any number equal to 0): not available now
        Failed,    // empty: the request itself failed
        Found,     // name "$" address "$" kind [ "$" more ]
        Unusable,  // any other text
    };
    Kind kind = Kind::Failed;
    // Nothing written exactly "0", as the service writes it. The next-episode
    // request takes only this one for "none yet"; another zero ("00") is a
    // failed request there.
    bool plainZero = false;
    // Pieces of a Found answer as they came; a missing piece is empty text.
    QString name;
    QString address;
    QString playerKind;

    // Refused, Nothing or Failed: the request gave no episode.
    bool isFailure() const { return kind == Kind::Refused || kind == Kind::Nothing || kind == Kind::Failed; }
};

PlayAnswer classifyPlayAnswer(const QString& answer);

// base + "h.asp?id=" id "&v=" v "&v1=" v1.
QString playRequestAddress(const QString& base, int id, const QString& v, const QString& v1);

}  // namespace qarvel::web
