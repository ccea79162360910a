// A film's name and a folder's names from arbitrary text (cut at NUL bytes):
// every subtitle file found is one of the names, is a subtitle file, carries
// the film's name, and its tag holds no dot; the first film is a film of the folder.
#include "engine/media_names.h"
#include "fuzz_text_support.h"

using namespace qarvel::fuzz;
using namespace qarvel::engine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QStringList names = partsOf(data, size);
    const QString film = names.takeFirst();
    const qsizetype dot = film.lastIndexOf(u'.');
    const QString stem = dot < 0 ? film : film.left(dot);
    for (const SubtitleFile& found : subtitlesFor(film, names)) {
        require(names.contains(found.name) && isSubtitleName(found.name));
        require(found.name.startsWith(stem, Qt::CaseInsensitive));
        require(!found.language.contains(u'.') && found.language == found.language.toLower());
    }
    const QString first = firstFilmOf(names);
    require(first.isEmpty() || (names.contains(first) && isFilmName(first)));
    return 0;
}
