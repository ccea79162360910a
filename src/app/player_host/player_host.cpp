#include "app/player_host/player_host.h"

#include "common/program_files.h"
#include "engine/cache/player_config.h"
#include "state/main_window_state.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QTimer>

namespace qarvel::player_host {

namespace {

using platform::kPlayerProgram;
using platform::kTerminalProgram;

const QString kSection = QStringLiteral("S_q");
const QString kKeepPlayersKey = QStringLiteral("qvodqi");
const QString kFolderKey = QStringLiteral("qvodw");
const QString kDefaultPickTitle = QStringLiteral("请选择文件夹");

QString withSeparator(const QString& folder) {
    return folder.isEmpty() || folder.endsWith(u'/') ? folder : folder + u'/';
}

}  // namespace

PlayerHost::PlayerHost(MainWindowState& state, PlayerHostServices services) : state_(state), s_(std::move(services)) {}

QString PlayerHost::servedFolder() const {
    if (state_.QvodFolder.startsWith(u'/')) return state_.QvodFolder;
    // A folder of this system's own: the readers' default "0" names none.
    const QString stored = s_.readSetting ? s_.readSetting(kSection, kFolderKey, QString()) : QString();
    if (stored.startsWith(u'/')) return withSeparator(stored);
    return withSeparator(s_.defaultFolder);
}

void PlayerHost::PlayerHostCheck() {
    s_.playerHostCheckTimer.stop();
    const QString keepPlayers = s_.readSetting ? s_.readSetting(kSection, kKeepPlayersKey, QString()) : QString();
    const QString folder = servedFolder();
    if (folder.isEmpty()) return;
    for (const platform::RunningProcess& p : s_.processes.processesNamed(kPlayerProgram, folder)) {
        state_.QvodFolder = withSeparator(p.folder);
        if (keepPlayers != QLatin1String("1")) s_.processes.endProcess(p.id, false);
    }
    const bool terminalRuns = !s_.processes.processesNamed(kTerminalProgram, folder).isEmpty();
    RefreshTrayArea();
    if (!terminalRuns) {
        QCoreApplication::processEvents();
        platform::startHelperProcess(s_.processes, kTerminalProgram, folder, platform::HelperStart::Always);
    }
    // The program ships its helpers, so the folder is known even when none
    // ran: the download service has just been started for it.
    state_.QvodFolder = folder;
    if (s_.writeSetting) s_.writeSetting(kSection, kFolderKey, folder);
}

qint64 PlayerHost::FindProcessByName(const QString& name) {
    return s_.processes.findProcessByName(name, servedFolder());
}

void PlayerHost::EndProcessByName(const QString& name) {
    const qint64 id = FindProcessByName(name);
    if (id != 0) s_.processes.endProcess(id, false);
}

void PlayerHost::EndEveryProcess(const QString& name) {
    for (const platform::RunningProcess& p : s_.processes.processesNamed(name, servedFolder()))
        s_.processes.endProcess(p.id, true);
}

QString ReadPlayerCachePath(const QString& playerFolder, const QString& fallback) {
    return engine::readCachePath(ProgramFiles::ofPlayerFolder(playerFolder), fallback);
}

bool WritePlayerCachePath(const QString& playerFolder, const QString& cachePath) {
    if (playerFolder.isEmpty() || cachePath.isEmpty()) return false;
    return engine::writeCachePath(ProgramFiles::ofPlayerFolder(playerFolder), cachePath);
}

bool RestartDownloadService(platform::ProcessFinder& processes, const QString& playerFolder, const QString& cachePath) {
    if (playerFolder.isEmpty()) return false;
    // Ended and gone before the new one starts: two services on one folder
    // would fetch into the same files.
    for (const QString& name : {kPlayerProgram, kTerminalProgram}) {
        for (const platform::RunningProcess& p : processes.processesNamed(name, playerFolder))
            processes.endProcess(p.id, true);
    }
    const bool stored = WritePlayerCachePath(playerFolder, cachePath);
    return platform::startHelperProcess(processes, kTerminalProgram, playerFolder, platform::HelperStart::Always) &&
           stored;
}

QString PickFolder(const QString& startFolder, const QString& title, QWidget* parent) {
    // Qt's own dialog: the same on every desktop, and it starts where asked.
    return QFileDialog::getExistingDirectory(parent, title.isEmpty() ? kDefaultPickTitle : title, startFolder,
                                             QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
}

}  // namespace qarvel::player_host
