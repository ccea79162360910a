#include "records/record_store.h"

#include "common/atomic_file.h"
#include "common/text_codec.h"
#include "common/text_lines.h"

#include <QFileInfo>

namespace qarvel::records {

RecordStore::RecordStore(const ListPageWriter& pages) : pages_(pages) {}

QString RecordStore::recordFilePath(RecordFile file) const { return pages_.recordPath(file); }

namespace {

// An update drops non-record lines; when that shifts line numbers, the page's
// links would point at the wrong lines until it is rebuilt.
bool lineCountChanged(const QByteArray& before, const QByteArray& after) {
    return splitTextLines(before).size() != splitTextLines(after).size();
}

}  // namespace

RecordStatus RecordStore::rewriteFile(RecordFile file, RecordStatus whenUnchanged, PageRebuild rebuild,
                                      const Rewrite& rewrite) {
    const QString path = recordFilePath(file);
    const std::optional<QByteArray> old = readWholeFile(path);
    if (!old) {
        // A record file gone since start-up loses this write as surely as a failed one.
        if (writeFailed) writeFailed(path);
        return RecordStatus::FileMissing;
    }
    const std::optional<QByteArray> updated = rewrite(*old);
    if (!updated) return whenUnchanged;
    if (!writeFileAtomically(path, *updated)) {
        if (writeFailed) writeFailed(path);
        return RecordStatus::WriteFailed;
    }
    if (rebuild == PageRebuild::Always || lineCountChanged(*old, *updated)) pages_.RenderRecordList(file);
    return RecordStatus::Done;
}

RecordStatus RecordStore::AddNetworkRecord(qint64 id, const QString& title, const QString& name, const QString& address,
                                           qint64 ly, qint64 did, qint64 position) {
    const NetworkRecord record{id, title, name, address, ly, did, position};
    if (!isStorable(record)) return RecordStatus::InvalidRecord;
    return rewriteFile(RecordFile::Network, RecordStatus::Done, PageRebuild::Always,
                       [&](const QByteArray& old) { return std::optional(withNetworkRecordAdded(old, record)); });
}

RecordStatus RecordStore::AddLocalRecord(const QString& name, const QString& path, qint64 position) {
    const LocalRecord record{name, path, position};
    if (!isStorable(record)) return RecordStatus::InvalidRecord;
    return rewriteFile(RecordFile::Local, RecordStatus::Done, PageRebuild::Always,
                       [&](const QByteArray& old) { return std::optional(withLocalRecordAdded(old, record)); });
}

RecordStatus RecordStore::UpdateNetworkProgress(qint64 id, qint64 position) {
    return rewriteFile(RecordFile::Network, RecordStatus::NoSuchRecord, PageRebuild::WhenRenumbered,
                       [&](const QByteArray& old) { return withNetworkProgress(old, id, position); });
}

RecordStatus RecordStore::UpdateLocalProgress(const QString& path, qint64 position) {
    return rewriteFile(RecordFile::Local, RecordStatus::NoSuchRecord, PageRebuild::WhenRenumbered,
                       [&](const QByteArray& old) { return withLocalProgress(old, path, position); });
}

RecordStatus RecordStore::DeleteRecordLine(RecordFile file, qint64 n) {
    return rewriteFile(file, RecordStatus::NoSuchLine, PageRebuild::Always,
                       [&](const QByteArray& old) { return withLineDeleted(old, n); });
}

RecordStatus RecordStore::ClearRecordFile(RecordFile file) {
    // Only an existing file is cleared: the list commands never create one.
    return rewriteFile(file, RecordStatus::Done, PageRebuild::Always,
                       [](const QByteArray&) { return std::optional(emptyRecordFile()); });
}

QString RecordStore::ReadRecordLine(RecordFile file, qint64 n) const {
    const std::optional<QByteArray> bytes = readWholeFile(recordFilePath(file));
    if (!bytes) return {};
    const QList<QByteArray> lines = splitTextLines(*bytes);
    if (n < 1 || n > lines.size()) return {};
    return fromGbk(lines[n - 1]);
}

bool RecordStore::EnsureRecordFile(RecordFile file) const {
    const QString path = recordFilePath(file);
    if (QFileInfo::exists(path)) return true;
    return writeFileAtomically(path, emptyRecordFile());
}

}  // namespace qarvel::records
