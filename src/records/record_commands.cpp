#include "records/record_commands.h"

#include "common/escape_text.h"
#include "platform/user_dialogs.h"
#include "state/main_window_state.h"

#include <QFile>

namespace qarvel::records {

namespace {

const QString kCaption = QStringLiteral("提示：");
const QString kOpen = QStringLiteral("open://");
const QString kDelete = QStringLiteral("delk://");

bool hasFiles(const RecordCommandServices& s, const QString& folder) {
    return s.folderFiles && !s.folderFiles(folder).isEmpty();
}

}  // namespace

int downloadKeyLength(int baseLength) {
    const int half = baseLength / 2;
    // x.5 goes to the even neighbour.
    const int k = baseLength % 2 == 1 && half % 2 == 1 ? half + 1 : half;
    return k < 3 ? baseLength : k;
}

QString downloadKey(const QString& escapedAddress) {
    const QString address = UnescapeText(escapedAddress);
    if (!address.contains(u'|')) return {};
    const QString fileName = UnescapeText(address.split(u'|').value(2));
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString base = dot < 0 ? QString() : fileName.left(dot);
    return base.left(downloadKeyLength(int(base.size())));
}

RecordCommands::RecordCommands(MainWindowState& state, RecordCommandServices services, QObject* parent)
    : QObject(parent), state_(state), s_(std::move(services)) {}

bool RecordCommands::localListActive() const { return state_.SideTab == SideTab::LocalList; }

QString RecordCommands::contextLine() const {
    if (!state_.ContextLink.contains(QStringLiteral("//"))) return {};
    QString n = state_.ContextLink;
    n.remove(kOpen);
    return n;
}

void RecordCommands::runSideListCommand() {
    if (s_.resetQkColour) s_.resetQkColour();
    if (localListActive()) {
        // A failed clear leaves the list as it was; the store has told the user.
        if (s_.dialogs.askYesNo(kCaption, kClearLocalQuestion)) (void)s_.records.ClearRecordFile(RecordFile::Local);
        return;
    }
    if (s_.popupTaskListMenu) s_.popupTaskListMenu();
}

void RecordCommands::clearNetworkList() {
    if (localListActive()) return;
    if (s_.dialogs.askYesNo(kCaption, kClearNetworkQuestion)) (void)s_.records.ClearRecordFile(RecordFile::Network);
}

void RecordCommands::playChosenTask() {
    const QString n = contextLine();
    if (!n.isEmpty() && s_.navigateWeb3) s_.navigateWeb3(kOpen + n);
}

void RecordCommands::deleteChosenTask() {
    const QString n = contextLine();
    if (!n.isEmpty() && s_.navigateWeb3) s_.navigateWeb3(kDelete + n);
}

void RecordCommands::deleteChosenTaskAndFiles() {
    if (!state_.ContextLink.contains(QStringLiteral("//"))) return;
    QString n = state_.ContextLink;
    n.remove(kOpen);
    n.remove(kDelete);
    if (n.endsWith(u'/')) n.chop(1);
    const auto deleteRecord = [&] {
        if (s_.navigateWeb3) s_.navigateWeb3(kDelete + n);
    };
    if (!QFile::exists(s_.records.recordFilePath(RecordFile::Network))) return;
    const QStringList fields = s_.records.ReadRecordLine(RecordFile::Network, n.toLongLong()).split(u'|');
    const QString key = downloadKey(fields.value(3));
    if (key.isEmpty()) return deleteRecord();

    const QString folder = s_.downloadFolder ? s_.downloadFolder() : QString();
    QStringList matching;
    if (!folder.isEmpty() && s_.folderFiles) {
        for (const QString& name : s_.folderFiles(folder))
            if (name.left(key.size()) == key) matching << name;
    }
    if (matching.isEmpty()) return deleteRecord();

    QString question = QStringLiteral("确定要删除 [") + folder + QStringLiteral("] 下面的这些文件吗？\r\n\r\n");
    for (const QString& name : matching) question += name + QStringLiteral("\r\n");
    if (s_.dialogs.askYesNo(kCaption, question)) {
        bool failed = false;
        // Only names the folder listed are touched: a name holds no "/".
        for (const QString& name : matching) {
            const QString path = folder + name;
            if (QFile::exists(path)) QFile::remove(path);
            if (QFile::exists(path)) failed = true;
        }
        if (failed && s_.showBalloon) s_.showBalloon(kFilesInUseBalloon);
    } else if (hasFiles(s_, folder) && s_.openFolder) {
        s_.openFolder(folder);
    }
    deleteRecord();
}

void RecordCommands::openDownloadFolder() {
    const QString folder = s_.downloadFolder ? s_.downloadFolder() : QString();
    if (hasFiles(s_, folder)) {
        if (s_.keptOnTop && s_.keptOnTop() && s_.releaseOnTop) s_.releaseOnTop();
        if (s_.openFolder) s_.openFolder(folder);
        return;
    }
    s_.dialogs.inform(kCaption, QStringLiteral("路径") + folder + QStringLiteral("还没有任何影片。"));
}

}  // namespace qarvel::records
