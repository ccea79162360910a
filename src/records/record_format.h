#pragma once
// The two record files: the network records (films played from the service)
// and the local records (local files). One record per line, fields separated by "|",
// newest first, GBK text with CR LF. A line without "|" is not a record but
// still counts when lines are numbered. The rewrites here are pure: bytes of
// the old file in, bytes of the new file out.
#include "common/program_files.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace qarvel::records {

enum class RecordFile {
    Network,  // listed in the network list page
    Local,    // listed in the local list page
};

// The bare names, as ProgramFiles knows them.
QString recordFileName(RecordFile file);
QString pageFileName(RecordFile file);
// The network records' name names the network file; any other name the local one.
RecordFile recordFileForName(const QString& fileName);
// The file's path among the program's files.
QString recordFilePath(const ProgramFiles& files, RecordFile file);
QString pageFilePath(const ProgramFiles& files, RecordFile file);

// A film of the network records. Title, name and address are already escaped with
// EscapeText, so the line is plain ASCII.
struct NetworkRecord {
    qint64 id = 0;
    QString title;
    QString name;
    QString address;
    qint64 ly = 0;   // source index
    qint64 did = 0;  // episode index within the source
    qint64 position = 0;
};

// A file in the local records; the path is the key (compared case-sensitively).
struct LocalRecord {
    QString name;
    QString path;
    qint64 position = 0;
};

// At most this many old lines are kept by an add, so a file never grows past
// this plus the new line.
inline constexpr int kKeptLinesOnAdd = 100;

// The fields of one line, decoded from GBK before splitting: the second byte
// of a Chinese character can be the byte of "|".
QStringList splitRecordLine(const QByteArray& line);
bool isRecordLine(const QByteArray& line);
// Field 0 of date.dat as a number; nullopt when it is not a whole number.
std::optional<qint64> recordNumber(const QString& field);

// False when a text would break the line format: "|" or a line break in any
// text field. Such a record cannot be stored.
bool isStorable(const NetworkRecord& record);
bool isStorable(const LocalRecord& record);

QByteArray formatRecordLine(const NetworkRecord& record);
QByteArray formatRecordLine(const LocalRecord& record);

// The file as it stands after an add: the new line on top, then the first
// 100 old lines minus non-records and the record's previous line.
QByteArray withNetworkRecordAdded(const QByteArray& file, const NetworkRecord& record);
QByteArray withLocalRecordAdded(const QByteArray& file, const LocalRecord& record);

// The file with the record's position replaced; non-record lines are dropped.
// Lines whose id is not a number are skipped, not fatal. nullopt when no
// record matches (nothing to write).
std::optional<QByteArray> withNetworkProgress(const QByteArray& file, qint64 id, qint64 position);
std::optional<QByteArray> withLocalProgress(const QByteArray& file, const QString& path, qint64 position);

// The file without line n (counted from 1 over all lines); an empty last line
// left behind is dropped as well. nullopt when there is no line n.
std::optional<QByteArray> withLineDeleted(const QByteArray& file, qint64 n);

// One empty line: the form of a new or cleared record file.
QByteArray emptyRecordFile();

}  // namespace qarvel::records
