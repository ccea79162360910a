#pragma once
// The player's own configuration files and the cache folder they name.
// QvodCfg.ini (section "NBQVODTERMINAL", key "defaultsavepath") and
// QvodPlayer.xml (attribute Defaultsavepath="...") live in the engine folder,
// program folder + "/Qvod/", in GBK with CR LF.
#include <QString>

namespace qarvel::engine {

QString engineFolderOf(const QString& programFolder);      // programFolder + "/Qvod/"
QString defaultCachePathOf(const QString& programFolder);  // programFolder + "/Media/"

// First use: creates the engine folder and whichever of the two files is
// missing, naming cachePath. Existing files are left as they are. False when
// the folder or a file cannot be created.
bool ensurePlayerConfig(const QString& engineFolder, const QString& cachePath);

// The cache folder the files name: QvodCfg.ini first, then QvodPlayer.xml, then
// fallback. A value that is no absolute path of this system (such as a Windows
// path) gives fallback too.
QString readCachePath(const QString& engineFolder, const QString& fallback);

// Stores path in both files: QvodPlayer.xml when it exists and names a folder,
// QvodCfg.ini always (created when missing). False, changing nothing, when
// either argument is empty or path cannot be stored (a double quotation mark,
// a line break, a character GBK lacks, more than 254 bytes in GBK, which the
// profile reader would cut); false too when a write fails.
bool writeCachePath(const QString& engineFolder, const QString& path);

}  // namespace qarvel::engine
