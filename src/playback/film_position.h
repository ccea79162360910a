#pragma once
// Writing the position reached into the record of the film that plays.
namespace qarvel::records {
class RecordStore;
}

namespace qarvel::playback {

class PlaySession;

// Stores seconds in the session's record (a network task's id or a local
// file's path). A film without a record or whose position reached is still 0
// is not written; neither is a network key that is no number, which names no
// film.
void storeFilmPosition(const PlaySession& session, records::RecordStore& records, int seconds);

}  // namespace qarvel::playback
