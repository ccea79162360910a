#include "common/program_files.h"

namespace qarvel {

namespace {

const QString kSettings = QStringLiteral("config.dll");
const QString kNetworkRecords = QStringLiteral("date.dat");
const QString kLocalRecords = QStringLiteral("date_f.dat");
const QString kSeriesMarks = QStringLiteral("date_p.dat");
const QString kNetworkListPage = QStringLiteral("c.htm");
const QString kLocalListPage = QStringLiteral("f.htm");
const QString kListIcon = QStringLiteral("i.gif");
const QString kPlayerFolder = QStringLiteral("Qvod/");
const QString kPlayerIni = QStringLiteral("QvodCfg.ini");
const QString kPlayerXml = QStringLiteral("QvodPlayer.xml");
const QString kTerminalAddress = QStringLiteral("terminal.address");
const QString kTerminalLock = QStringLiteral("terminal.lock");
const QString kCacheFolder = QStringLiteral("Media/");
const QString kBrowserProfile = QStringLiteral("webdata");

}  // namespace

ProgramFiles ProgramFiles::inFolder(const QString& folder) {
    ProgramFiles f;
    QString base = folder;
    while (base.size() > 1 && base.endsWith(u'/')) base.chop(1);
    if (base.isEmpty()) return f;
    // The root folder keeps its separator; every other one gets it here.
    const QString prefix = base.endsWith(u'/') ? base : base + u'/';
    f.folder = base;
    f.settings = prefix + kSettings;
    f.networkRecords = prefix + kNetworkRecords;
    f.localRecords = prefix + kLocalRecords;
    f.networkListPage = prefix + kNetworkListPage;
    f.localListPage = prefix + kLocalListPage;
    f.seriesMarks = prefix + kSeriesMarks;
    f.listIcon = prefix + kListIcon;
    f.playerFolder = prefix + kPlayerFolder;
    f.playerIni = f.playerFolder + kPlayerIni;
    f.playerXml = f.playerFolder + kPlayerXml;
    f.terminalAddress = f.playerFolder + kTerminalAddress;
    f.terminalLock = f.playerFolder + kTerminalLock;
    f.cacheFolder = prefix + kCacheFolder;
    f.browserProfile = prefix + kBrowserProfile;
    return f;
}

ProgramFiles ProgramFiles::ofPlayerFolder(const QString& playerFolder) {
    ProgramFiles f;
    if (playerFolder.isEmpty()) return f;
    f.playerFolder = playerFolder.endsWith(u'/') ? playerFolder : playerFolder + u'/';
    f.playerIni = f.playerFolder + kPlayerIni;
    f.playerXml = f.playerFolder + kPlayerXml;
    f.terminalAddress = f.playerFolder + kTerminalAddress;
    f.terminalLock = f.playerFolder + kTerminalLock;
    return f;
}

QString ProgramFiles::networkRecordsName() { return kNetworkRecords; }
QString ProgramFiles::localRecordsName() { return kLocalRecords; }
QString ProgramFiles::networkListPageName() { return kNetworkListPage; }
QString ProgramFiles::localListPageName() { return kLocalListPage; }

}  // namespace qarvel
