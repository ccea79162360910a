#pragma once
// The player's helper processes: the host check on Timer3 (a stand-alone
// player of this player folder is ended unless "qvodqi" is "1"; the download
// service is started when it is missing; "qvodw" remembers the folder), the
// ends at exit, and the cache folder in the player's configuration files.
//
//     PlayerHost host(state, {processes, *c.Timer3, read, write, files.playerFolder});
//     connect(c.Timer3, &QTimer::timeout, [&] { host.PlayerHostCheck(); });
#include "platform/process_finder.h"

#include <QString>
#include <functional>

class QTimer;
class QWidget;

namespace qarvel {

struct MainWindowState;

namespace player_host {

struct PlayerHostServices {
    platform::ProcessFinder& processes;
    QTimer& playerHostCheckTimer;
    // ReadSetting and WriteSetting on the settings file: section, key (, default or value).
    std::function<QString(const QString& section, const QString& key, const QString& defaultText)> readSetting;
    std::function<void(const QString& section, const QString& key, const QString& value)> writeSetting;
    // The program's own player folder, served when no other is known.
    QString defaultFolder;
};

class PlayerHost {
public:
    PlayerHost(MainWindowState& state, PlayerHostServices services);

    // Timer3's tick: once per enabling.
    void PlayerHostCheck();
    // Id of the first helper named name serving this player folder, or 0.
    qint64 FindProcessByName(const QString& name);
    // Ends the first helper named name serving this player folder (only one
    // per call); does not wait for it.
    void EndProcessByName(const QString& name);
    // Ends every helper named name serving this player folder and waits for them to go.
    void EndEveryProcess(const QString& name);
    // Nothing is left behind in the notification area of this desktop by
    // an ended helper; kept so the exit reads as it always has.
    void RefreshTrayArea() {}
    // The player folder the helpers serve: the one the check found, else the
    // one "qvodw" names, else the program's own.
    QString servedFolder() const;

private:
    MainWindowState& state_;
    PlayerHostServices s_;
};

// The cache folder the configuration files in playerFolder name, or fallback
// when neither names a usable one.
QString ReadPlayerCachePath(const QString& playerFolder, const QString& fallback);
// Stores cachePath in both configuration files of playerFolder. Nothing
// happens when either is empty; false when it could not be stored.
bool WritePlayerCachePath(const QString& playerFolder, const QString& cachePath);
// The download service after a change of cache folder: every stand-alone player
// and download service of playerFolder is ended (and waited for), cachePath is
// stored, and the service is started again, so the next film arrives in the
// new folder. What the settings dialog's apply runs.
bool RestartDownloadService(platform::ProcessFinder& processes, const QString& playerFolder, const QString& cachePath);
// The desktop's folder picker, starting at startFolder; title "请选择文件夹"
// when empty. The chosen folder without a trailing separator (the root
// keeps it), or empty text when cancelled.
QString PickFolder(const QString& startFolder, const QString& title, QWidget* parent = nullptr);

}  // namespace player_host
}  // namespace qarvel
