#include "playback/film_position.h"

#include "records/record_store.h"
#include "state/main_window_state.h"

namespace qarvel::playback {

void storeFilmPosition(const MainWindowState& state, records::RecordStore& records, int seconds) {
    // A position that cannot be stored is lost; the store has told the user,
    // and the film plays on.
    if (state.RecordKey == u"0" || state.CurrentPosition <= 0) return;
    if (state.RecordKind == 1) {
        bool ok = false;
        const qint64 id = state.RecordKey.toLongLong(&ok);
        if (ok) (void)records.UpdateNetworkProgress(id, seconds);
    } else if (state.RecordKind == 2) {
        (void)records.UpdateLocalProgress(state.RecordKey, seconds);
    }
}

}  // namespace qarvel::playback
