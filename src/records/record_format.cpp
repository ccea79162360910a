#include "records/record_format.h"

#include "common/text_codec.h"
#include "common/text_lines.h"

#include <functional>

namespace qarvel::records {
namespace {

const QByteArray kLineEnd = "\r\n";

void chopLineEnd(QByteArray& text) {
    if (text.endsWith(kLineEnd)) text.chop(kLineEnd.size());
}

bool breaksLine(const QString& text) { return text.contains(u'|') || text.contains(u'\r') || text.contains(u'\n'); }

QString field(const QStringList& fields, qsizetype i) { return i < fields.size() ? fields[i] : QString(); }

// Keeps the records among the first kKeptLinesOnAdd lines that are not the
// new record's previous line, and puts the new line on top.
QByteArray withRecordAdded(const QByteArray& file, const QByteArray& newLine,
                           const std::function<bool(const QStringList&)>& isPrevious) {
    QList<QByteArray> kept;
    const QList<QByteArray> lines = splitTextLines(file);
    for (qsizetype i = 0; i < lines.size() && i < kKeptLinesOnAdd; ++i) {
        if (!isRecordLine(lines[i])) continue;
        if (isPrevious(splitRecordLine(lines[i]))) continue;
        kept.append(lines[i]);
    }
    QByteArray keptText = kept.join(kLineEnd);
    chopLineEnd(keptText);
    return newLine + kLineEnd + keptText + kLineEnd;
}

// Rewrites the matching records' lines with rewrite(fields); drops the rest
// of the non-record lines.
std::optional<QByteArray> withRecordsRewritten(const QByteArray& file,
                                               const std::function<bool(const QStringList&)>& matches,
                                               const std::function<QByteArray(const QStringList&)>& rewrite) {
    QList<QByteArray> kept;
    bool matched = false;
    for (const QByteArray& line : splitTextLines(file)) {
        if (!isRecordLine(line)) continue;
        const QStringList fields = splitRecordLine(line);
        if (matches(fields)) {
            kept.append(rewrite(fields));
            matched = true;
        } else {
            kept.append(line);
        }
    }
    if (!matched) return std::nullopt;
    QByteArray text = kept.join(kLineEnd);
    chopLineEnd(text);
    return text + kLineEnd;
}

}  // namespace

QString recordFileName(RecordFile file) {
    return file == RecordFile::Network ? ProgramFiles::networkRecordsName() : ProgramFiles::localRecordsName();
}

QString pageFileName(RecordFile file) {
    return file == RecordFile::Network ? ProgramFiles::networkListPageName() : ProgramFiles::localListPageName();
}

RecordFile recordFileForName(const QString& fileName) {
    return fileName == ProgramFiles::networkRecordsName() ? RecordFile::Network : RecordFile::Local;
}

QString recordFilePath(const ProgramFiles& files, RecordFile file) {
    return file == RecordFile::Network ? files.networkRecords : files.localRecords;
}

QString pageFilePath(const ProgramFiles& files, RecordFile file) {
    return file == RecordFile::Network ? files.networkListPage : files.localListPage;
}

QStringList splitRecordLine(const QByteArray& line) { return fromGbk(line).split(u'|'); }

bool isRecordLine(const QByteArray& line) {
    // The "|" byte alone does not decide it; see splitRecordLine.
    return line.contains('|') && fromGbk(line).contains(u'|');
}

std::optional<qint64> recordNumber(const QString& field) {
    bool ok = false;
    const qint64 value = field.trimmed().toLongLong(&ok);
    if (!ok) return std::nullopt;
    return value;
}

bool isStorable(const NetworkRecord& record) {
    return !breaksLine(record.title) && !breaksLine(record.name) && !breaksLine(record.address);
}

bool isStorable(const LocalRecord& record) { return !breaksLine(record.name) && !breaksLine(record.path); }

QByteArray formatRecordLine(const NetworkRecord& r) {
    const QStringList fields{
        QString::number(r.id),      r.title, r.name, r.address, QString::number(r.ly), QString::number(r.did),
        QString::number(r.position)};
    return toGbk(fields.join(u'|'));
}

QByteArray formatRecordLine(const LocalRecord& r) {
    return toGbk(r.name + u'|' + r.path + u'|' + QString::number(r.position));
}

QByteArray withNetworkRecordAdded(const QByteArray& file, const NetworkRecord& record) {
    return withRecordAdded(file, formatRecordLine(record),
                           [&](const QStringList& fields) { return recordNumber(fields[0]) == record.id; });
}

QByteArray withLocalRecordAdded(const QByteArray& file, const LocalRecord& record) {
    return withRecordAdded(file, formatRecordLine(record),
                           [&](const QStringList& fields) { return field(fields, 1) == record.path; });
}

std::optional<QByteArray> withNetworkProgress(const QByteArray& file, qint64 id, qint64 position) {
    return withRecordsRewritten(
        file, [&](const QStringList& fields) { return recordNumber(fields[0]) == id; },
        [&](const QStringList& fields) {
            // Fields 1 to 5 stay as they are, even when they are not numbers.
            QStringList line{QString::number(id)};
            for (qsizetype i = 1; i <= 5; ++i) line.append(field(fields, i));
            line.append(QString::number(position));
            return toGbk(line.join(u'|'));
        });
}

std::optional<QByteArray> withLocalProgress(const QByteArray& file, const QString& path, qint64 position) {
    return withRecordsRewritten(
        file, [&](const QStringList& fields) { return field(fields, 1) == path; },
        [&](const QStringList& fields) {
            return formatRecordLine(LocalRecord{fields[0], path, position});
        });
}

std::optional<QByteArray> withLineDeleted(const QByteArray& file, qint64 n) {
    const QList<QByteArray> lines = splitTextLines(file);
    if (n < 1 || n > lines.size()) return std::nullopt;
    QByteArray text;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i + 1 == n) continue;
        text += lines[i] + kLineEnd;
    }
    chopLineEnd(text);
    chopLineEnd(text);
    return text + kLineEnd;
}

QByteArray emptyRecordFile() { return kLineEnd; }

}  // namespace qarvel::records
