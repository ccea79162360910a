#pragma once
// The player's own configuration files and the cache folder they name.
// The INI file (section "NBQVODTERMINAL", key "defaultsavepath") and the XML
// file (attribute Defaultsavepath="...") live in the player's folder, in GBK
// with CR LF; ProgramFiles names all three.
#include "common/program_files.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace qarvel::engine {

// First use: creates the player's folder and whichever of the two files is
// missing, naming cachePath. Existing files are left as they are; temporary
// files of rewrites a kill cut short are removed. False when the folder or a
// file cannot be created.
bool ensurePlayerConfig(const ProgramFiles& files, const QString& cachePath);

// The cache folder the files name: the INI file first, then the XML file, then
// fallback. A value that is no absolute path of this system (such as a Windows
// path) gives fallback too.
QString readCachePath(const ProgramFiles& files, const QString& fallback);
// The Defaultsavepath value of the first line of the XML file's bytes that
// holds the attribute, as stored (any text); nothing when no line holds it or
// its closing quotation mark is missing.
std::optional<QString> cachePathInXml(const QByteArray& xml);

// Stores path in both files: the XML file when it exists and names a folder
// (rewritten line by line with CR LF, and one more CR LF after the text), the
// INI file always (created when missing). False, changing nothing, when
// either argument is empty or path cannot be stored (a double quotation mark,
// a line break, a character GBK lacks, more than 254 bytes in GBK, which the
// profile reader would cut); false too when a write fails.
bool writeCachePath(const ProgramFiles& files, const QString& path);

}  // namespace qarvel::engine
