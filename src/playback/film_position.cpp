#include "playback/film_position.h"

#include "playback/play_session.h"
#include "records/record_store.h"

namespace qarvel::playback {

void storeFilmPosition(const PlaySession& session, records::RecordStore& records, int seconds) {
    // A position that cannot be stored is lost; the store has told the user,
    // and the film plays on.
    const std::optional<QString>& key = session.recordKey();
    if (!key || session.positionReached() <= 0) return;
    if (session.recordKind() == RecordKind::NetworkItem) {
        bool ok = false;
        const qint64 id = key->toLongLong(&ok);
        if (ok) (void)records.UpdateNetworkProgress(id, seconds);
    } else if (session.recordKind() == RecordKind::LocalFile) {
        (void)records.UpdateLocalProgress(*key, seconds);
    }
}

}  // namespace qarvel::playback
