#pragma once
// The record commands of the list panel's link `sideListCommand` and of the task menus:
// clear either list, play or delete the right-clicked network task, delete it
// together with its downloaded files, and open the download folder.
#include "records/record_store.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace qarvel {
struct MainWindowState;
namespace platform {
class UserDialogs;
}
}  // namespace qarvel

namespace qarvel::records {

inline const QString kClearLocalQuestion = QStringLiteral("确定要删除全部[本地播放]列表吗？");
inline const QString kClearNetworkQuestion = QStringLiteral("确定要删除全部[网络任务]列表吗？");
inline const QString kFilesInUseBalloon = QStringLiteral("部分文件可能正在使用中，未删除成功！请手动删除！");

// How many leading characters of a download's name (without extension) tell
// the downloads of one film: half its length, rounded to the nearest whole
// number with ties to even; the whole length when that is below 3.
int downloadKeyLength(int baseLength);
// The key a network record's address gives its downloads: the leading part of
// the player address's file name (as unescaped from the record); empty for
// an address that is no player address ("qvod://" size "|" hash "|" name "|").
QString downloadKey(const QString& escapedAddress);

struct RecordCommandServices {
    RecordStore& records;
    platform::UserDialogs& dialogs;
    // The player's download folder, ending in "/".
    std::function<QString()> downloadFolder;
    // The names of the files in a folder (no sub-folders), sorted.
    std::function<QStringList(const QString& folder)> folderFiles;
    // Hands a record link ("open://" n, "delk://" n) to the task list's pane.
    std::function<void(const QString& link)> navigateWeb3;
    std::function<void(const QString& text)> showBalloon;
    // Opens a folder in the file manager.
    std::function<void(const QString& folder)> openFolder;
    // Pops up the task-list management menu `taskListMenu` at the mouse.
    std::function<void()> popupTaskListMenu;
    // Whether the window is kept on top, and the press that releases it.
    std::function<bool()> keptOnTop;
    std::function<void()> releaseOnTop;
    // Puts `sideListCommand`'s text back in its normal colour.
    std::function<void()> resetQkColour;
};

class RecordCommands : public QObject {
    Q_OBJECT
public:
    RecordCommands(MainWindowState& state, RecordCommandServices services, QObject* parent = nullptr);

    void runSideListCommand();
    void clearNetworkList();          // clear the network list
    void playChosenTask();            // play the right-clicked task
    void deleteChosenTask();          // delete it
    void deleteChosenTaskAndFiles();  // delete it with its downloaded files
    void openDownloadFolder();        // open the download folder

private:
    bool localListActive() const;  // its side tab is shown
    // The line number of the right-clicked task, or empty when nothing was.
    QString contextLine() const;

    MainWindowState& state_;
    RecordCommandServices s_;
};

}  // namespace qarvel::records
