#include "playback/film_position.h"

#include "playback/play_session.h"
#include "records/record_store.h"

namespace qarvel::playback {

void storeFilmPosition(const PlaySession& session, records::RecordStore& records, int seconds) {
    const std::optional<QString>& key = session.recordKey();
    if (!key || session.positionReached() <= 0) return;
    if (session.recordKind() == RecordKind::NetworkItem) {
        bool ok = false;
        const qint64 id = key->toLongLong(&ok);
        if (ok) records.UpdateNetworkProgress(id, seconds);
    } else if (session.recordKind() == RecordKind::LocalFile) {
        records.UpdateLocalProgress(*key, seconds);
    }
}

}  // namespace qarvel::playback
