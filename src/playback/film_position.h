#pragma once
// Writing the position reached into the record of the film that plays.
namespace qarvel {
struct MainWindowState;
namespace records {
class RecordStore;
}
}  // namespace qarvel

namespace qarvel::playback {

// Stores seconds in the record named by RecordKey and RecordKind (a network
// task's id or a local file's path). A film without a record (RecordKey "0")
// or whose CurrentPosition is still 0 is not written; neither is a network
// key that is no number, which names no film.
void storeFilmPosition(const MainWindowState& state, records::RecordStore& records, int seconds);

}  // namespace qarvel::playback
