#include "engine/player_config.h"

#include "app/atomic_file.h"
#include "app/settings_file.h"
#include "app/text_codec.h"
#include "app/text_lines.h"

#include <QDir>
#include <QFileInfo>

namespace qarvel::engine {

namespace {

const QString kIniName = "QvodCfg.ini";
const QString kXmlName = "QvodPlayer.xml";
const QString kSection = "NBQVODTERMINAL";
const QString kKey = "defaultsavepath";
const QByteArray kAttribute = "Defaultsavepath=";
const QByteArray kOpening = "Defaultsavepath=\"";  // the attribute and its opening quotation mark

QString joinFolder(const QString& folder, const QString& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

QString withoutTrailingSlash(QString folder) {
    while (folder.size() > 1 && folder.endsWith('/')) folder.chop(1);
    return folder;
}

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

QString engineFolderOf(const QString& programFolder) { return withoutTrailingSlash(programFolder) + "/Qvod/"; }

QString defaultCachePathOf(const QString& programFolder) { return withoutTrailingSlash(programFolder) + "/Media/"; }

bool ensurePlayerConfig(const QString& engineFolder, const QString& cachePath) {
    if (engineFolder.isEmpty() || !QDir().mkpath(engineFolder)) return false;
    bool ok = true;
    const QString ini = joinFolder(engineFolder, kIniName);
    if (!QFileInfo::exists(ini)) ok = WriteSetting(ini, kSection, kKey, cachePath) && ok;
    const QString xml = joinFolder(engineFolder, kXmlName);
    if (!QFileInfo::exists(xml)) ok = writeFileAtomically(xml, xmlTemplate(cachePath)) && ok;
    return ok;
}

QString readCachePath(const QString& engineFolder, const QString& fallback) {
    if (engineFolder.isEmpty()) return fallback;
    const QString ini = joinFolder(engineFolder, kIniName);
    if (QFileInfo::exists(ini)) {
        const QString value = ReadSetting(ini, kSection, kKey, "0");
        if (value != "0" && !value.isEmpty()) return isUsableFolder(value) ? value : fallback;
    }
    const auto bytes = readWholeFile(joinFolder(engineFolder, kXmlName));
    if (!bytes) return fallback;
    for (const QByteArray& line : splitTextLines(*bytes)) {
        if (!line.contains(kAttribute)) continue;
        const auto value = attributeValue(line);
        if (!value) return fallback;
        const QString path = fromGbk(*value);
        return isUsableFolder(path) ? path : fallback;
    }
    return fallback;
}

bool writeCachePath(const QString& engineFolder, const QString& path) {
    if (engineFolder.isEmpty() || path.isEmpty() || !isStorable(path)) return false;
    bool ok = true;
    const QString xml = joinFolder(engineFolder, kXmlName);
    if (const auto bytes = readWholeFile(xml)) {
        QByteArray text;
        for (const QByteArray& line : splitTextLines(*bytes)) text += line + "\r\n";
        const auto old = attributeValue(text);
        if (old && !old->isEmpty()) {
            text.replace(kOpening + *old + '"', kOpening + toGbk(path) + '"');
            ok = writeFileAtomically(xml, text);
        }
    }
    return WriteSetting(joinFolder(engineFolder, kIniName), kSection, kKey, path) && ok;
}

}  // namespace qarvel::engine
