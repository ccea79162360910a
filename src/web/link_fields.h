#pragma once
// Cutting the program's links into their fields. Pure text functions: the
// links come from web pages, so every field may be missing, malformed or huge;
// a missing field is empty text and a number that does not convert is 0.
#include <QString>

namespace qarvel::web {

inline const QString kPlayRequestScheme = QStringLiteral("zuvovod://");
inline const QString kEpisodeScheme = QStringLiteral("zvqvod://");
inline const QString kChannelScheme = QStringLiteral("zvtvs://");
inline const QString kOpenScheme = QStringLiteral("open://");
inline const QString kDeleteScheme = QStringLiteral("delk://");

// Removes every occurrence of scheme, then one trailing "/" (the browser
// appends one to such addresses).
QString cutScheme(const QString& address, const QString& scheme);

// A decimal whole number that fits 32 bits (surrounding blanks allowed);
// anything else is 0, so arithmetic on the result cannot overflow.
int linkNumber(const QString& text);

// "zuvovod://" id "-" v "-" v1 "-" title. Only the fourth piece is the title,
// so a title holding "-" ends at its first "-".
struct PlayRequestLink {
    QString idText;  // as written, for the emptiness test
    int id = 0;
    QString v;      // source index, passed on as written
    QString v1;     // episode index, passed on as written
    QString title;  // escaped
};
PlayRequestLink cutPlayRequestLink(const QString& address);

// "zvqvod://" kind "&&&" address "&&&" title "&&&" name "&&&" id "&&&" ly
// "&&&" did ["&&&" list flag ...]; texts escaped, further fields ignored.
struct EpisodeLink {
    QString kind;
    QString address;
    QString title;
    QString name;
    QString idText;
    int id = 0;
    int ly = 0;
    int did = 0;
    QString listFlag;  // "0": open the episode list too
};
EpisodeLink cutEpisodeLink(const QString& address);

// Everything after "zvtvs://", unchanged (no trailing "/" is removed).
QString cutChannelLink(const QString& address);

// "open://" n: the scheme and a trailing "/" cut off, n as a number.
int cutOpenLink(const QString& address);
// "delk://" n: the scheme cut off and every "/" removed, n as a number.
int cutDeleteLink(const QString& address);

// The episode link the play request's answer turns into: kind "&&&" escaped
// address "&&&" title "&&&" name "&&&" id "&&&" v "&&&" v1, without a list flag.
QString episodeLinkText(const QString& kind, const QString& address, const QString& title, const QString& name, int id,
                        const QString& v, const QString& v1);

// Splits `text` on `separator`; piece `index`, or empty text when absent.
QString fieldAt(const QString& text, const QString& separator, int index);

}  // namespace qarvel::web
