#include "engine/cache/player_config.h"

#include "common/atomic_file.h"
#include "common/settings_file.h"
#include "common/text_codec.h"
#include "common/text_lines.h"

#include <QDir>
#include <QFileInfo>

namespace qarvel::engine {

namespace {

const QString kSection = "NBQVODTERMINAL";
const QString kKey = "defaultsavepath";
const QByteArray kAttribute = "Defaultsavepath=";
const QByteArray kOpening = "Defaultsavepath=\"";  // the attribute and its opening quotation mark

bool isUsableFolder(const QString& path) { return path.startsWith('/'); }

// The profile reader hands back at most 254 bytes: a longer path would come back cut.
constexpr qsizetype kLongestValue = 254;

bool isStorable(const QString& path) {
    if (path.contains('"') || path.contains('\r') || path.contains('\n') || path.contains(QChar(0))) return false;
    const QByteArray gbk = toGbk(path);
    return gbk.size() <= kLongestValue && fromGbk(gbk) == path;
}

// The text between the opening marker and the next quotation mark, if both are there.
std::optional<QByteArray> attributeValue(const QByteArray& text) {
    const qsizetype start = text.indexOf(kOpening);
    if (start < 0) return std::nullopt;
    const qsizetype valueStart = start + kOpening.size();
    const qsizetype end = text.indexOf('"', valueStart);
    if (end < 0) return std::nullopt;
    return text.mid(valueStart, end - valueStart);
}

QByteArray xmlTemplate(const QString& cachePath) {
    return "<?xml version=\"1.0\" encoding=\"gbk\"?>\r\n"
           "<QvodPlayer>\r\n"
           "<Setting " +
           kOpening + toGbk(cachePath) +
           "\" />\r\n"
           "</QvodPlayer>\r\n";
}

}  // namespace

bool ensurePlayerConfig(const ProgramFiles& files, const QString& cachePath) {
    if (files.playerFolder.isEmpty() || !makePrivateFolder(files.playerFolder)) return false;
    removeInterruptedWrites(files.playerFolder,
                            {QFileInfo(files.playerIni).fileName(), QFileInfo(files.playerXml).fileName()});
    bool ok = true;
    const QString& ini = files.playerIni;
    if (!QFileInfo::exists(ini)) ok = WriteSetting(ini, kSection, kKey, cachePath) && ok;
    const QString& xml = files.playerXml;
    if (!QFileInfo::exists(xml)) ok = writeFileAtomically(xml, xmlTemplate(cachePath)) && ok;
    return ok;
}

QString readCachePath(const ProgramFiles& files, const QString& fallback) {
    if (files.playerFolder.isEmpty()) return fallback;
    const QString& ini = files.playerIni;
    if (QFileInfo::exists(ini)) {
        const QString value = ReadSetting(ini, kSection, kKey, "0");
        if (value != "0" && !value.isEmpty()) return isUsableFolder(value) ? value : fallback;
    }
    const auto bytes = readWholeFile(files.playerXml);
    if (!bytes) return fallback;
    const std::optional<QString> path = cachePathInXml(*bytes);
    return path && isUsableFolder(*path) ? *path : fallback;
}

std::optional<QString> cachePathInXml(const QByteArray& xml) {
    for (const QByteArray& line : splitTextLines(xml)) {
        if (!line.contains(kAttribute)) continue;
        const auto value = attributeValue(line);
        if (!value) return std::nullopt;
        return fromGbk(*value);
    }
    return std::nullopt;
}

bool writeCachePath(const ProgramFiles& files, const QString& path) {
    if (files.playerFolder.isEmpty() || path.isEmpty() || !isStorable(path)) return false;
    bool ok = true;
    const QString& xml = files.playerXml;
    if (const auto bytes = readWholeFile(xml)) {
        QByteArray text;
        for (const QByteArray& line : splitTextLines(*bytes)) text += line + "\r\n";
        const auto old = attributeValue(text);
        if (old && !old->isEmpty()) {
            text.replace(kOpening + *old + '"', kOpening + toGbk(path) + '"');
            // The file is written as the product writes it: one more line end
            // after the text, so it gains an empty line with every rewrite.
            ok = writeFileAtomically(xml, text + "\r\n");
        }
    }
    return WriteSetting(files.playerIni, kSection, kKey, path) && ok;
}

}  // namespace qarvel::engine
