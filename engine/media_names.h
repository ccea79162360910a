#pragma once
// What the names in a film's folder are: films, and the subtitle files that
// belong to a film because they carry its name ("片名.srt", "片名.chs.ass",
// "片名.zh-CN.srt", "片名.chs&eng.ass").
#include <QList>
#include <QString>
#include <QStringList>

namespace qarvel::engine {

struct SubtitleFile {
    QString name;      // as it stands in the folder
    QString language;  // the tag between the film's name and the extension, lower case; may be empty
};

// True when name ends in ".srt", ".ass", ".ssa" or ".vtt" (any case).
bool isSubtitleName(const QString& name);
// True when name ends in the extension of a video file (".mp4", ".mkv", ".rmvb", …; any case).
bool isFilmName(const QString& name);

// The subtitle files among names (the entries of a folder) that belong to the
// film called filmName in it: the film's name without its extension, a dot,
// at most one tag (up to 16 letters, digits, '-', '_' or '&') and a dot, and a
// subtitle extension, compared without regard to case. Simplified Chinese
// first, then untagged ones, then traditional Chinese, then the rest; each
// group by name.
QList<SubtitleFile> subtitlesFor(const QString& filmName, const QStringList& names);
// subtitlesFor on the folder of the file at filmPath; the names become paths.
QList<SubtitleFile> subtitlesBeside(const QString& filmPath);

// The film among names that comes first in natural order ("第2集" before
// "第10集"); empty when there is none.
QString firstFilmOf(const QStringList& names);

}  // namespace qarvel::engine
