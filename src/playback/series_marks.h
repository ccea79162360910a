#pragma once
// Where each series' opening ends and its ending starts, as the viewer marked
// them: one line per series, "film id|opening end|ending start" in seconds,
// 0 for a mark not set. The file is small and rewritten whole; a line that is
// not of this form is left out, so a damaged file loses only its bad lines.
#include <QByteArray>
#include <QString>
#include <map>

namespace qarvel::playback {

struct SeriesMark {
    int openingEnd = 0;   // seconds; 0: no opening to skip
    int endingStart = 0;  // seconds; 0: no ending to skip
    bool operator==(const SeriesMark&) const = default;
};

// Film id to its marks.
using SeriesMarkMap = std::map<int, SeriesMark>;

// The marks in the file's bytes; bad lines are skipped, a later line of the
// same series wins.
SeriesMarkMap parseSeriesMarks(const QByteArray& bytes);
// The file's bytes for these marks, series in id order; series without any
// mark are left out.
QByteArray formatSeriesMarks(const SeriesMarkMap& marks);

// The marks file, read once and rewritten atomically after each change.
class SeriesMarks {
public:
    explicit SeriesMarks(QString path);

    SeriesMark mark(int series) const;
    // False when the file could not be written (the mark still holds until exit).
    bool setOpeningEnd(int series, int seconds);
    bool setEndingStart(int series, int seconds);

private:
    bool save();

    QString path_;
    SeriesMarkMap marks_;
};

}  // namespace qarvel::playback
