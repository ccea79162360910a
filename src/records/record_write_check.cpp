#include "records/record_write_check.h"

#include "common/logging.h"

namespace qarvel::records {

namespace {

const char* statusText(RecordStatus status) {
    switch (status) {
    case RecordStatus::Done: return "done";
    case RecordStatus::FileMissing: return "the record file cannot be read";
    case RecordStatus::InvalidRecord: return "a text holds a separator";
    case RecordStatus::NoSuchRecord: return "no such record";
    case RecordStatus::NoSuchLine: return "no such line";
    case RecordStatus::WriteFailed: return "the record file could not be replaced";
    }
    return "unknown";
}

}  // namespace

bool recordWriteFailed(RecordStatus status, const char* operation) {
    if (status == RecordStatus::Done) return false;
    const bool lost = status == RecordStatus::FileMissing || status == RecordStatus::WriteFailed;
    if (lost) qCWarning(lcClient, "record: %s failed: %s", operation, statusText(status));
    else qCInfo(lcClient, "record: %s did nothing: %s", operation, statusText(status));
    return lost;
}

}  // namespace qarvel::records
