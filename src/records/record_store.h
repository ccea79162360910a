#pragma once
// The operations on the record files. Each one reads its file, rewrites it in
// full through a temporary file and a rename, and closes it before returning;
// nothing is cached between calls.
#include "records/record_format.h"
#include "records/record_list_page.h"

#include <QString>
#include <functional>
#include <optional>

namespace qarvel::records {

// Every write reports one; a caller that drops it drops a failed write.
enum class [[nodiscard]] RecordStatus {
    Done,
    FileMissing,    // the record file does not exist or cannot be read; nothing written
    InvalidRecord,  // a text holds "|" or a line break; nothing written
    NoSuchRecord,   // no record has that id or path; nothing written
    NoSuchLine,     // the file has no line with that number; nothing written
    WriteFailed,    // the file could not be replaced; it is as it was
};

class RecordStore {
public:
    // Pages are rebuilt through pages after adds, deletes and clears (and after
    // an update that had to renumber lines); pages must outlive the store.
    explicit RecordStore(const ListPageWriter& pages);

    // Puts the film's line on top of date.dat with these fields (texts already
    // escaped), replacing its previous line; keeps at most 100 old lines.
    RecordStatus AddNetworkRecord(qint64 id, const QString& title, const QString& name, const QString& address,
                                  qint64 ly, qint64 did, qint64 position);
    // Stores the position reached in the film's line.
    RecordStatus UpdateNetworkProgress(qint64 id, qint64 position);
    // As AddNetworkRecord for the local records, keyed by path.
    RecordStatus AddLocalRecord(const QString& name, const QString& path, qint64 position);
    RecordStatus UpdateLocalProgress(const QString& path, qint64 position);
    // Removes line n (counted from 1 over all lines, records or not).
    RecordStatus DeleteRecordLine(RecordFile file, qint64 n);
    // Leaves one empty line; a missing file stays missing.
    RecordStatus ClearRecordFile(RecordFile file);

    // Line n as text (empty when the file or the line does not exist), for the
    // handlers that play or inspect a record by its line number.
    QString ReadRecordLine(RecordFile file, qint64 n) const;
    // Creates the file as one empty line when it does not exist.
    [[nodiscard]] bool EnsureRecordFile(RecordFile file) const;

    QString recordFilePath(RecordFile file) const;

    // Told of every record file that is missing or could not be replaced
    // (FileMissing, WriteFailed), a lost write either way, so that the user
    // hears of it whichever command wrote; callers need only act on the
    // status when they do something else because of it.
    std::function<void(const QString& path)> writeFailed;

private:
    enum class PageRebuild { Always, WhenRenumbered };
    using Rewrite = std::function<std::optional<QByteArray>(const QByteArray& old)>;
    // Reads the file, lets rewrite make the new bytes and writes them;
    // whenUnchanged is the status when rewrite has nothing to write.
    RecordStatus rewriteFile(RecordFile file, RecordStatus whenUnchanged, PageRebuild rebuild, const Rewrite& rewrite);

    const ListPageWriter& pages_;
};

}  // namespace qarvel::records
