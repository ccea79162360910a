// Every cutting rule on arbitrary link text: no field may come from outside
// the text, numbers stay numbers, and an episode link built from the pieces
// of an answer cuts back into the same pieces.
#include "web/link_fields.h"

#include <cstdlib>
#include <cstring>

using namespace qarvel::web;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data, (size / 2) * 2);

    for (const QString& scheme : {kPlayRequestScheme, kEpisodeScheme, kOpenScheme, kDeleteScheme}) {
        const QString linked = scheme + text;
        if (cutScheme(linked, scheme).size() > text.size()) std::abort();
    }
    const PlayRequestLink request = cutPlayRequestLink(kPlayRequestScheme + text);
    if (request.title.contains(u'-') || request.v.contains(u'-')) std::abort();
    const EpisodeLink episode = cutEpisodeLink(kEpisodeScheme + text);
    if (episode.kind.contains(QStringLiteral("&&&")) || episode.address.size() > text.size()) std::abort();
    (void)cutOpenLink(kOpenScheme + text);
    (void)cutDeleteLink(kDeleteScheme + text);
    (void)cutChannelLink(kChannelScheme + text);

    // Pieces without separators survive the round trip through a link.
    QString piece = text.left(text.size() / 2).remove(u'&');
    while (piece.contains(kEpisodeScheme)) piece.remove(kEpisodeScheme);
    const QString rebuilt = episodeLinkText(QStringLiteral("qvod"), piece, QStringLiteral("t"), piece, 3,
                                            QStringLiteral("1"), QStringLiteral("2"));
    const EpisodeLink back = cutEpisodeLink(rebuilt);
    if (back.kind != u"qvod" || back.id != 3 || back.ly != 1 || back.did != 2) std::abort();
    if (back.name != piece) std::abort();
    return 0;
}
