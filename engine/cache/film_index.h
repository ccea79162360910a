#pragma once
// The bookkeeping kept beside each cached film: which film it is and which of
// its bytes have arrived, so that a fetch resumes where it stopped, also after
// a restart. Stored in a hidden folder of the cache folder so the folder itself
// shows only films.
#include "engine/cache/range_set.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace qarvel::engine {

struct FilmIndex {
    QString name;      // file name in the cache folder
    QString key;       // what the film is: the qvod hash or the HTTP address
    qint64 size = -1;  // -1 while unknown
    RangeSet ranges;
};

QByteArray formatFilmIndex(const FilmIndex& index);
std::optional<FilmIndex> parseFilmIndex(const QByteArray& text);

// Where the bookkeeping of the film stored as name lives.
QString filmIndexPath(const QString& cacheFolder, const QString& name);

// Reads and writes the bookkeeping; writing goes through a temporary file and
// on failure *why, when given, says what went wrong.
std::optional<FilmIndex> loadFilmIndex(const QString& path);
bool saveFilmIndex(const QString& path, const FilmIndex& index, QString* why = nullptr);
// Removes the temporary files of bookkeeping writes a kill cut short; returns
// how many there were.
int removeInterruptedIndexWrites(const QString& cacheFolder);

}  // namespace qarvel::engine
