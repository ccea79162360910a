#pragma once
// Every file the program keeps in its folder, joined to the folder once at
// start and handed down, so that no other place spells or joins their names.
//
//     const ProgramFiles files = ProgramFiles::inFolder(home);
//     ReadSetting(files.settings, "Skin", "Num", "0");
#include <QString>

namespace qarvel {

struct ProgramFiles {
    QString folder;           // the program folder, no trailing separator
    QString settings;         // the settings file
    QString networkRecords;   // records of network films
    QString localRecords;     // records of local files
    QString networkListPage;  // list page of the network records
    QString localListPage;    // list page of the local records
    QString seriesMarks;      // where each series' opening ends and ending starts
    QString listIcon;         // the list pages' delete marker
    QString playerFolder;     // the player's own folder, with a trailing separator
    QString playerIni;        // the player's INI configuration, in playerFolder
    QString playerXml;        // the player's XML configuration, in playerFolder
    QString terminalAddress;  // the download service's port and token, in playerFolder
    QString terminalLock;     // held by the download service serving playerFolder
    QString cacheFolder;      // default film cache, with a trailing separator
    QString browserProfile;   // the browser panes' shared profile

    // The files of the program living in folder (trailing separators ignored).
    // An empty folder gives empty paths: a value naming no files.
    static ProgramFiles inFolder(const QString& folder);
    // Only the player's folder and its two configuration files, for a player
    // folder that may lie elsewhere (trailing separator added when missing).
    static ProgramFiles ofPlayerFolder(const QString& playerFolder);

    // The bare names, for the places that speak of a file by its name.
    static QString networkRecordsName();
    static QString localRecordsName();
    static QString networkListPageName();
    static QString localListPageName();
};

}  // namespace qarvel
