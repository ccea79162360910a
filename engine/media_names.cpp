#include "engine/media_names.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>

namespace qarvel::engine {

namespace {

constexpr qsizetype kLongestTag = 16;

QString extensionOf(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

bool isTag(QStringView tag) {
    if (tag.size() > kLongestTag) return false;
    return std::all_of(tag.begin(), tag.end(),
                       [](QChar c) { return c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u'&'; });
}

// Simplified Chinese 0, no tag 1, traditional Chinese 2, anything else 3.
int rankOf(const QString& tag) {
    static const QStringList simplified = {"zh",      "chi",   "zho", "chs",  "sc",   "gb",   "zh-cn",   "zh_cn",
                                           "zh-hans", "zh-sg", "简",  "简体", "简中", "中文", "chs&eng", "sc&en"};
    static const QStringList traditional = {"cht", "tc",   "big5", "zh-tw", "zh_tw",   "zh-hk", "zh-hant",
                                            "繁",  "繁体", "繁體", "繁中",  "cht&eng", "tc&en"};
    if (tag.isEmpty()) return 1;
    if (simplified.contains(tag)) return 0;
    if (traditional.contains(tag)) return 2;
    return 3;
}

// Numbers by their value; in a set language, since the C locale's collator
// compares plain code points.
QCollator naturalOrder() {
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

}  // namespace

bool isSubtitleName(const QString& name) {
    static const QStringList extensions = {"srt", "ass", "ssa", "vtt"};
    return extensions.contains(extensionOf(name));
}

bool isFilmName(const QString& name) {
    static const QStringList extensions = {"mp4", "m4v",  "mkv", "avi", "rmvb", "rm",  "wmv",
                                           "asf", "mov",  "flv", "f4v", "webm", "mpg", "mpeg",
                                           "ts",  "m2ts", "mts", "vob", "3gp",  "ogv", "divx"};
    return extensions.contains(extensionOf(name));
}

QList<SubtitleFile> subtitlesFor(const QString& filmName, const QStringList& names) {
    const qsizetype dot = filmName.lastIndexOf(u'.');
    const QString stem = (dot < 0 ? filmName : filmName.left(dot)) + u'.';
    QList<SubtitleFile> found;
    for (const QString& name : names) {
        if (!name.startsWith(stem, Qt::CaseInsensitive) || !isSubtitleName(name)) continue;
        // What lies between the film's name and the extension: nothing or one tag.
        const QStringView middle = QStringView(name).mid(stem.size(), name.lastIndexOf(u'.') + 1 - stem.size());
        if (middle.isEmpty()) {
            found.append({name, QString()});
        } else if (middle.size() >= 2 && isTag(middle.chopped(1))) {
            found.append({name, middle.chopped(1).toString().toLower()});
        }
    }
    const QCollator order = naturalOrder();
    std::stable_sort(found.begin(), found.end(), [&order](const SubtitleFile& a, const SubtitleFile& b) {
        const int ra = rankOf(a.language), rb = rankOf(b.language);
        return ra != rb ? ra < rb : order.compare(a.name, b.name) < 0;
    });
    return found;
}

QList<SubtitleFile> subtitlesBeside(const QString& filmPath) {
    const QFileInfo film(filmPath);
    const QDir folder = film.absoluteDir();
    QList<SubtitleFile> found = subtitlesFor(film.fileName(), folder.entryList(QDir::Files | QDir::Readable));
    for (SubtitleFile& f : found) f.name = folder.filePath(f.name);
    return found;
}

QString firstFilmOf(const QStringList& names) {
    const QCollator order = naturalOrder();
    QString first;
    for (const QString& name : names) {
        if (isFilmName(name) && (first.isEmpty() || order.compare(name, first) < 0)) first = name;
    }
    return first;
}

}  // namespace qarvel::engine
