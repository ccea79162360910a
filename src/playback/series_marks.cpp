#include "playback/series_marks.h"

#include "common/atomic_file.h"

#include <QList>

namespace qarvel::playback {

namespace {

// A mark or an id: decimal digits only, no sign or spaces, within int.
bool readNumber(const QByteArray& field, int& out) {
    if (field.isEmpty() || field.size() > 9) return false;
    for (char c : field)
        if (c < '0' || c > '9') return false;
    out = field.toInt();
    return true;
}

}  // namespace

SeriesMarkMap parseSeriesMarks(const QByteArray& bytes) {
    SeriesMarkMap marks;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        const QList<QByteArray> fields = line.split('|');
        int id = 0;
        SeriesMark m;
        if (fields.size() != 3 || !readNumber(fields[0], id) || id <= 0 || !readNumber(fields[1], m.openingEnd) ||
            !readNumber(fields[2], m.endingStart))
            continue;
        marks[id] = m;
    }
    return marks;
}

QByteArray formatSeriesMarks(const SeriesMarkMap& marks) {
    QByteArray out;
    for (const auto& [id, m] : marks) {
        if (id <= 0 || m == SeriesMark{}) continue;
        out += QByteArray::number(id) + '|' + QByteArray::number(qMax(0, m.openingEnd)) + '|' +
               QByteArray::number(qMax(0, m.endingStart)) + "\r\n";
    }
    return out;
}

SeriesMarks::SeriesMarks(QString path) : path_(std::move(path)) {
    if (const auto bytes = readWholeFile(path_)) marks_ = parseSeriesMarks(*bytes);
}

SeriesMark SeriesMarks::mark(int series) const {
    const auto it = marks_.find(series);
    return it == marks_.end() ? SeriesMark{} : it->second;
}

bool SeriesMarks::setOpeningEnd(int series, int seconds) {
    if (series <= 0) return false;
    marks_[series].openingEnd = qMax(0, seconds);
    return save();
}

bool SeriesMarks::setEndingStart(int series, int seconds) {
    if (series <= 0) return false;
    marks_[series].endingStart = qMax(0, seconds);
    return save();
}

bool SeriesMarks::save() { return !path_.isEmpty() && writeFileAtomically(path_, formatSeriesMarks(marks_)); }

}  // namespace qarvel::playback
