#include "app/startup_sequence.h"

#include "common/atomic_file.h"
#include "common/build_config.h"
#include "common/settings_file.h"
#include "platform/player_component.h"
#include "platform/user_dialogs.h"
#include "resources/skin_resources.h"

#include <QFile>
#include <QFileInfo>

namespace qarvel {
namespace {

const QString kNotice = QStringLiteral("提示：");
const QString kDefaultTitle = QString::fromUtf8(config::kProgramName);

// Option keys of section "S_q" with their defaults, in the order of the first
// run; "ts" is handled apart since its rule differs.
struct Key {
    const char* name;
    const char* value;
};
constexpr Key kOptionKeys[] = {{"quit", "2"}, {"qvodk", "2"}, {"s_size", "2"}, {"h_w", "14850"}, {"h_h", "9830"},
                               {"s_h", "2"},  {"s_bo", "2"},  {"s_jd", "2"},   {"qvodqi", "2"},  {"s_pao", "2"}};

}  // namespace

QString StartupSequence::settingsPath() const { return env_.files.settings; }

StartupResult StartupSequence::run() {
    if (!checkPlayerComponent()) return StartupResult::NoPlayerComponent;
    if (env_.sendCatalogueAhead) env_.sendCatalogueAhead();
    removeInterruptedWrites();
    if (!QFile::exists(settingsPath())) writeFirstRunSettings();
    repairSettings();
    createRecordFiles();
    createListPages();
    installListIcon();
    if (env_.showMainWindow && env_.showMainWindow()) return StartupResult::WindowShown;
    // The library is there but does not start: a restart repairs nothing, a
    // reinstall of the packages does; the reason helps whoever looks into it.
    if (!env_.component->componentFileExists()) {
        env_.dialogs->inform(kDefaultTitle, QStringLiteral("对不起，软件组件已被损坏，请重新下载安装本软件。"));
    } else {
        env_.dialogs->inform(kDefaultTitle, playerFailureText(env_.playerFailure ? env_.playerFailure() : QString()));
    }
    return StartupResult::DamagedComponent;
}

int startupExitStatus(StartupResult result) { return result == StartupResult::WindowShown ? 0 : 1; }

QString playerFailureText(const QString& reason) {
    return QStringLiteral("播放组件（libmpv）无法启动：") + (reason.isEmpty() ? QStringLiteral("原因不明") : reason) +
           QStringLiteral("\n重新安装本程序的软件包即可解决。");
}

bool StartupSequence::checkPlayerComponent() {
    if (env_.component->canCreate()) return true;
    if (env_.component->componentFileExists()) {
        env_.component->startRegistration();  // not waited for
        return true;
    }
    if (env_.dialogs->askYesNoWithQuestionMark(
            kNotice, QStringLiteral("程序检测到您的电脑未安装快播(Qvod)播放器，是否要下载Qvod播放器？")))
        env_.shell->openUrl(QString::fromUtf8(config::kPlayerMakerPage));
    return false;
}

QString StartupSequence::newUserId() const {
    QString id = env_.macAddress ? env_.macAddress() : QString();
    if (id.isEmpty() && env_.randomUserId) id = env_.randomUserId();
    return id;
}

void StartupSequence::write(const QString& path, const char* section, const QString& key, const QString& value) {
    if (!WriteSetting(path, QString::fromLatin1(section), key, value))
        failed(WriteKind::Settings, path + u' ' + QString::fromLatin1(section) + u'/' + key);
}

void StartupSequence::failed(WriteKind kind, const QString& what) {
    if (env_.writeFailed) env_.writeFailed(kind, what);
}

void StartupSequence::writeFirstRunSettings() {
    const QString path = settingsPath();
    QList<SettingValue> values{{QStringLiteral("main"), QStringLiteral("Name"), kDefaultTitle},
                               {QStringLiteral("User"), QStringLiteral("Name"), newUserId()},
                               {QStringLiteral("Skin"), QStringLiteral("Num"), QStringLiteral("0")},
                               {QStringLiteral("Ver"), QStringLiteral("Name"), QStringLiteral("1.0")},
                               {QStringLiteral("S_q"), QStringLiteral("ts"), QStringLiteral("3")}};
    for (const Key& k : kOptionKeys)
        values.append({QStringLiteral("S_q"), QString::fromLatin1(k.name), QString::fromLatin1(k.value)});
    // One rewrite for the fifteen keys: written one by one they held up a
    // new user's first start by 12 to 18 ms.
    if (WriteSettings(path, values)) return;
    for (const SettingValue& v : values) failed(WriteKind::Settings, path + u' ' + v.section + u'/' + v.key);
}

void StartupSequence::repairSettings() {
    const QString path = settingsPath();
    const QString userId = ReadSetting(path, "user", "Name", "0");
    if (userId == QLatin1String("0") || userId.isEmpty()) write(path, "User", "Name", newUserId());
    if (ReadSetting(path, "ver", "Name", "0") != QLatin1String("1.0")) write(path, "Ver", "Name", "1.0");

    bool ok = false;
    const int ts = settingNumber(ReadSetting(path, "S_q", "ts", "0"), &ok);
    if (!ok || (ts != 1 && ts != 2)) write(path, "S_q", "ts", "3");
    // "Zero" covers a missing key, an empty value and text that is not a number.
    for (const Key& k : kOptionKeys) {
        const int v = settingNumber(ReadSetting(path, "S_q", k.name, "0"), &ok);
        if (!ok || v == 0) write(path, "S_q", k.name, k.value);
    }
}

void StartupSequence::createRecordFiles() {
    for (const QString& path : {env_.files.networkRecords, env_.files.localRecords}) {
        if (!QFile::exists(path) && !writeFileAtomically(path, "\r\n")) failed(WriteKind::Records, path);
    }
}

void StartupSequence::createListPages() {
    // Checked every time, not only when missing: a program killed between a
    // record file's rewrite and its page's leaves a page whose line numbers
    // point at other records. Both pages take a few milliseconds.
    if (!env_.renderRecordList) return;
    env_.renderRecordList(ProgramFiles::networkRecordsName());
    env_.renderRecordList(ProgramFiles::localRecordsName());
}

void StartupSequence::removeInterruptedWrites() {
    const ProgramFiles& f = env_.files;
    QStringList names;
    for (const QString& path :
         {f.settings, f.networkRecords, f.localRecords, f.networkListPage, f.localListPage, f.seriesMarks})
        names << QFileInfo(path).fileName();
    qarvel::removeInterruptedWrites(f.folder, names);
}

void StartupSequence::installListIcon() {
    // The list pages show it beside every entry; a folder without it shows a broken picture.
    if (QFile::exists(env_.files.listIcon)) return;
    if (!writeFileAtomically(env_.files.listIcon, smallMarkerFileData()))
        failed(WriteKind::Records, env_.files.listIcon);
}

}  // namespace qarvel
