#pragma once
// The program's links, followed in the panes: an episode of the catalogue
// (asking the service for its play address first), a live-TV channel, a
// record of the list pages to play or delete, and the end of a film in the
// web player. Each pane's navigation hook is one handler here; it returns
// true to cancel the navigation, which it does for every link it handles.
//
// The play request does not block the window: the status text and the player
// tab come at once, the answer's steps when it arrives, in that order. A
// newer play action (another episode, a record, a command line) drops the
// answer of a request still on its way.
#include "records/record_format.h"
#include "records/record_store.h"
#include "web/link_fields.h"
#include "web/web_pane.h"

#include <QObject>
#include <QString>
#include <functional>

class QLabel;
class QTimer;
class QWidget;

namespace qarvel {
struct MainWindowState;
namespace engine {
class Player;
}
namespace records {
class RecordStore;
}
namespace playback {
class PlaySession;
class ViewSwitcher;
}  // namespace playback
namespace platform {
class TextFetcher;
class ProcessFinder;
class UserDialogs;
}  // namespace platform
}  // namespace qarvel

namespace qarvel::web {

class PaneNavigator;

// Controls the handlers write; a null one is skipped.
struct LinkRouterControls {
    QLabel* filmTitle = nullptr;           // title label of the player bar
    QWidget* statusStrip = nullptr;        // its strip, to centre it in
    QLabel* statusText = nullptr;          // status text
    QWidget* liveTvCloseButton = nullptr;  // close button of the live-TV view
};

struct LinkRouterServices {
    engine::Player& player;
    records::RecordStore& records;
    playback::ViewSwitcher& views;
    PaneNavigator& panes;
    platform::TextFetcher& fetcher;
    platform::ProcessFinder& processes;
    platform::UserDialogs& dialogs;
    QTimer& statusPollTimer;  // status poll
    // Presses tab button `index` of the window (npc_Click).
    std::function<void(int index)> pressWindowButton;
    // ReadSetting on the settings file: section, key, default.
    std::function<QString(const QString& section, const QString& key, const QString& defaultText)> readSetting;
    // ShowTrayBalloon.
    std::function<void(const QString& text)> showBalloon;
};

inline const QString kSearchingText = QStringLiteral("正在搜索资源，请稍后");
inline const QString kReadErrorText = QStringLiteral("读取数据出错，请重试");
inline const QString kReadErrorBalloon = QStringLiteral("读取数据出错，请返回重试！");
inline const QString kMissingFileSuffix = QStringLiteral("不存在!");
inline const QString kNoticeCaption = QStringLiteral("提示：");

class LinkRouter : public QObject {
    Q_OBJECT
public:
    // base: the service base address, ending in "/"; sentinelHost: the host
    // of the end-of-play address (empty: the build's).
    LinkRouter(MainWindowState& state, playback::PlaySession& session, LinkRouterControls controls,
               LinkRouterServices services, QString base, QString sentinelHost = {}, QObject* parent = nullptr);
    ~LinkRouter() override;

    // Installs the handlers as the hooks of Web1, Web2, Web3, Web4, Web5 and
    // Web11 (a null pane is skipped).
    void installHooks(const PaneSet& panes);

    bool onCatalogueNavigate(const QString& address);    // episodes and play requests
    bool onWebPlayerNavigate(const QString& address);    // end-of-play sentinel
    bool onTaskListNavigate(const QString& address);     // records: open and delete
    bool onLocalListNavigate(const QString& address);    // local list: passes records on to Web3
    bool onEpisodeListNavigate(const QString& address);  // episode list: passes episodes on to Web1
    bool onChannelListNavigate(const QString& address);  // live-TV channels

    // Plays a file or address given on a command line and records it in the
    // local list; the quotes and one trailing "/" are removed from text.
    void runCommandText(QString& text);

    // Drops the answer of a play request still on its way (exit, or a newer play).
    void cancelPlayRequest();
    bool playRequestPending() const { return ticket_ != 0; }

    // The record file the list links act on: the local one while its side
    // tab is shown.
    records::RecordFile activeList() const;

private:
    void requestPlay(const QString& address);
    void answerPlay(const PlayRequestLink& link, const QString& answer);
    void playEpisode(const EpisodeLink& link);
    void openRecord(const QString& address);
    void openLocalRecord(int line, const QStringList& fields);
    void openNetworkRecord(const QStringList& fields);
    void deleteRecord(const QString& address);
    void endOfPlay();
    void playChannel(const QString& address);
    void startHelperProcess(bool readFolderSetting, bool letEventsRun);
    void startPlayer(const QString& url);
    void showTitle(const QString& text);
    void checkRecordWrite(records::RecordStatus status, const char* operation);
    QString episodeListAddress(const QString& key, const QString& startKey) const;

    MainWindowState& state_;
    playback::PlaySession& session_;
    LinkRouterControls c_;
    LinkRouterServices s_;
    QString base_;
    QString sentinel_;
    quint64 ticket_ = 0;  // the play request on its way, 0 for none
};

}  // namespace qarvel::web
