#pragma once
// Which folder holds the program's files. The executable's own folder, as
// the program always kept them, while it can be written there (a build
// folder, a portable copy); an installed program (bin/ beside share/ with its
// launcher entry, or a folder the user cannot write) keeps them in
// $XDG_DATA_HOME/qarvel (~/.local/share/qarvel). --home and QARVEL_HOME
// override both; they reach here as `given`.
#include <QString>

namespace qarvel {

// The launcher entry an install puts in share/applications; its presence
// beside bin/ marks an installed executable.
inline const QString kDesktopEntryName = QStringLiteral("org.qarvel.Qarvel.desktop");

// True when executableFolder is an install's bin/ folder.
bool isInstalledFolder(const QString& executableFolder);

// The absolute, clean program folder. Not created here.
QString chooseProgramFolder(const QString& given, const QString& executableFolder);

}  // namespace qarvel
