#include "web/link_fields.h"

#include "common/escape_text.h"

#include <QStringList>

namespace qarvel::web {

QString cutScheme(const QString& address, const QString& scheme) {
    QString text = address;
    text.remove(scheme);
    if (text.endsWith(u'/')) text.chop(1);
    return text;
}

int linkNumber(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

QString fieldAt(const QString& text, const QString& separator, int index) {
    // Walks the separators instead of splitting, so a huge field list costs
    // nothing beyond the fields asked for.
    qsizetype start = 0;
    for (int i = 0; i < index; ++i) {
        const qsizetype at = text.indexOf(separator, start);
        if (at < 0) return {};
        start = at + separator.size();
    }
    const qsizetype end = text.indexOf(separator, start);
    return text.mid(start, end < 0 ? -1 : end - start);
}

PlayRequestLink cutPlayRequestLink(const QString& address) {
    const QString text = cutScheme(address, kPlayRequestScheme);
    const QString dash = QStringLiteral("-");
    PlayRequestLink link;
    link.idText = fieldAt(text, dash, 0);
    link.id = linkNumber(link.idText);
    link.v = fieldAt(text, dash, 1);
    link.v1 = fieldAt(text, dash, 2);
    link.title = fieldAt(text, dash, 3);
    return link;
}

EpisodeLink cutEpisodeLink(const QString& address) {
    const QString text = cutScheme(address, kEpisodeScheme);
    const QString sep = QStringLiteral("&&&");
    EpisodeLink link;
    link.kind = fieldAt(text, sep, 0);
    link.address = fieldAt(text, sep, 1);
    link.title = fieldAt(text, sep, 2);
    link.name = fieldAt(text, sep, 3);
    link.idText = fieldAt(text, sep, 4);
    link.id = linkNumber(link.idText);
    link.ly = linkNumber(fieldAt(text, sep, 5));
    link.did = linkNumber(fieldAt(text, sep, 6));
    link.listFlag = fieldAt(text, sep, 7);
    return link;
}

QString cutChannelLink(const QString& address) { return address.mid(kChannelScheme.size()); }

int cutOpenLink(const QString& address) { return linkNumber(cutScheme(address, kOpenScheme)); }

int cutDeleteLink(const QString& address) {
    QString text = address.mid(kDeleteScheme.size());
    text.remove(u'/');
    return linkNumber(text);
}

QString episodeLinkText(const QString& kind, const QString& address, const QString& title, const QString& name, int id,
                        const QString& v, const QString& v1) {
    const QString sep = QStringLiteral("&&&");
    return kEpisodeScheme + kind + sep + EscapeText(address) + sep + title + sep + name + sep + QString::number(id) +
           sep + v + sep + v1;
}

}  // namespace qarvel::web
