#pragma once
// What the callers of the record operations do with the status they get.
#include "records/record_store.h"

namespace qarvel::records {

// Logs every status but Done through the client category, naming the
// operation. True when the record file could not be read or replaced, so the
// change is lost (the viewer is told); a record the operation refused or did
// not find only goes to the log.
bool recordWriteFailed(RecordStatus status, const char* operation);

}  // namespace qarvel::records
