#include "web/link_router.h"

#include "common/build_config.h"
#include "common/display_width.h"
#include "common/escape_text.h"
#include "state/main_window_state.h"
#include "engine/player.h"
#include "platform/process_finder.h"
#include "platform/text_fetcher.h"
#include "platform/user_dialogs.h"
#include "playback/bar_labels.h"
#include "playback/view_switcher.h"
#include "records/record_store.h"
#include "web/link_fields.h"
#include "web/pane_navigator.h"
#include "web/play_answer.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <algorithm>

namespace qarvel::web {

namespace {

constexpr int kCatalogue = 1, kWebPlayer = 2, kNetworkList = 3, kLocalList = 4, kEpisodeList = 5, kTv = 10;
constexpr int kPlayerTab = 9, kEpisodeListTab = 11, kLocalListTab = 7;

// Handlers drive other panes, whose handlers may drive others again; no
// chain of links is longer than this, so a deeper one is a loop and dropped.
constexpr int kMaxDepth = 6;

bool isPlayLink(const QString& address) {
    return address.contains(kPlayRequestScheme) || address.contains(kEpisodeScheme);
}

}  // namespace

LinkRouter::LinkRouter(MainWindowState& state, LinkRouterControls controls, LinkRouterServices services, QString base,
                       QString sentinelHost, QObject* parent)
    : QObject(parent),
      state_(state),
      c_(controls),
      s_(std::move(services)),
      base_(std::move(base)),
      sentinel_(QStringLiteral("http://") +
                (sentinelHost.isEmpty() ? QString::fromLatin1(config::kSentinelHost) : sentinelHost)) {}

LinkRouter::~LinkRouter() { cancelPlayRequest(); }

void LinkRouter::installHooks(const PaneSet& panes) {
    const std::pair<int, bool (LinkRouter::*)(const QString&)> hooks[] = {
        {1, &LinkRouter::Web1_BeforeNavigate2}, {2, &LinkRouter::Web2_BeforeNavigate2},
        {3, &LinkRouter::Web3_BeforeNavigate2}, {4, &LinkRouter::Web4_BeforeNavigate2},
        {5, &LinkRouter::Web5_BeforeNavigate2}, {11, &LinkRouter::Web11_BeforeNavigate2},
    };
    for (const auto& [number, handler] : hooks) {
        if (WebPane* pane = panes[size_t(number - 1)])
            pane->setNavigationHook([this, hook = handler](const QString& address) { return (this->*hook)(address); });
    }
}

// Counts handlers running inside each other for the time of one handler.
class DepthGuard {
public:
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    bool tooDeep() const { return depth_ > kMaxDepth; }

private:
    int& depth_;
};

bool LinkRouter::Web1_BeforeNavigate2(const QString& address) {
    if (!isPlayLink(address)) return false;
    DepthGuard guard(depth_);
    if (guard.tooDeep()) return true;
    // A play request link can carry an episode link in its title; the
    // request is what the page asked for.
    if (address.contains(kPlayRequestScheme)) requestPlay(address);
    else playEpisode(address);
    return true;
}

bool LinkRouter::Web2_BeforeNavigate2(const QString& address) {
    if (!address.contains(sentinel_)) return false;
    DepthGuard guard(depth_);
    if (!guard.tooDeep()) endOfPlay();
    return true;
}

bool LinkRouter::Web3_BeforeNavigate2(const QString& address) {
    const bool open = address.startsWith(kOpenScheme);
    if (!open && !address.startsWith(kDeleteScheme)) return false;
    DepthGuard guard(depth_);
    if (guard.tooDeep()) return true;
    if (open) openRecord(address);
    else deleteRecord(address);
    return true;
}

bool LinkRouter::Web4_BeforeNavigate2(const QString& address) {
    const bool open = address.startsWith(kOpenScheme);
    if (!open && !address.startsWith(kDeleteScheme)) return false;
    DepthGuard guard(depth_);
    if (guard.tooDeep()) return true;
    s_.panes.navigate(kNetworkList, address);
    if (!open) s_.panes.refresh(kLocalList);
    return true;
}

bool LinkRouter::Web5_BeforeNavigate2(const QString& address) {
    if (!isPlayLink(address)) return false;
    DepthGuard guard(depth_);
    if (!guard.tooDeep()) s_.panes.navigate(kCatalogue, address);
    return true;
}

bool LinkRouter::Web11_BeforeNavigate2(const QString& address) {
    if (!address.startsWith(kChannelScheme)) return false;
    DepthGuard guard(depth_);
    if (!guard.tooDeep()) playChannel(address);
    return true;
}

records::RecordFile LinkRouter::activeList() const {
    return c_.qk && c_.qk->text().contains(QStringLiteral("列表")) ? records::RecordFile::Local
                                                                   : records::RecordFile::Network;
}

void LinkRouter::cancelPlayRequest() {
    if (ticket_ != 0) s_.fetcher.cancel(ticket_);
    ticket_ = 0;
}

void LinkRouter::requestPlay(const QString& address) {
    cancelPlayRequest();
    const PlayRequestLink link = cutPlayRequestLink(address);
    playback::setBarText(c_.zhun, kSearchingText);
    if (s_.npc_Click) s_.npc_Click(kPlayerTab);
    ticket_ =
        s_.fetcher.fetch(playRequestAddress(base_, link.id, link.v, link.v1), [this, link](const QString& answer) {
            ticket_ = 0;
            answerPlay(link, answer);
        });
}

void LinkRouter::answerPlay(const PlayRequestLink& link, const QString& answer) {
    const PlayAnswer play = classifyPlayAnswer(answer);
    if (play.isFailure()) {
        state_.NextEpisodeLink = QStringLiteral("1");
        playback::setBarText(c_.zhun, kReadErrorText);
    }
    if (play.kind == PlayAnswer::Kind::Found) {
        s_.panes.navigate(kCatalogue, episodeLinkText(play.playerKind, play.address, link.title, play.name, link.id,
                                                      link.v, link.v1));
    } else if (s_.showBalloon) {
        s_.showBalloon(kReadErrorBalloon);
    }
}

void LinkRouter::startHelperProcess(bool readFolderSetting, bool letEventsRun) {
    // Only a terminal of this player folder counts; one of another program
    // folder serves other files.
    if (s_.processes.findProcessByName(platform::kTerminalProgram, state_.QvodFolder) != 0) return;
    if (readFolderSetting && state_.QvodFolder.isEmpty() && s_.readSetting)
        state_.QvodFolder = s_.readSetting(QStringLiteral("S_q"), QStringLiteral("qvodw"), QStringLiteral("0"));
    if (state_.QvodFolder.isEmpty()) return;
    if (letEventsRun) QCoreApplication::processEvents();
    platform::startHelperProcess(s_.processes, platform::kTerminalProgram, state_.QvodFolder,
                                 platform::HelperStart::Always);
}

void LinkRouter::startPlayer(const QString& url) {
    s_.player.setUrl(url);
    s_.player.play();
    if (!s_.Timer1.isActive()) s_.Timer1.start();
}

void LinkRouter::showTitle(const QString& text) { playback::showTitle(c_.bo_name, c_.bo_zt, text); }

QString LinkRouter::episodeListAddress(const QString& key, const QString& startKey) const {
    return base_ + QStringLiteral("pp.htm?") + key + u'-' + startKey;
}

namespace {
QString episodeKey(int id, int ly, int did, const QString& title) {
    return QStringLiteral("%1-%2-%3-").arg(id).arg(ly).arg(did) + title;
}
QString titleAndName(const QString& title, const QString& name) {
    return CutToWidth(UnescapeText(title), playback::kTitleWidth) + u'-' + UnescapeText(name);
}
}  // namespace

void LinkRouter::playEpisode(const QString& address) {
    cancelPlayRequest();
    startHelperProcess(true, false);
    const EpisodeLink link = cutEpisodeLink(address);
    if (link.kind != u"qvod") {
        s_.views.SwitchView(playback::kWebPlayerView);
        s_.panes.navigate(kWebPlayer,
                          base_ + QStringLiteral("play.htm?") + link.kind + QStringLiteral("$$$") + link.address);
        state_.RecordKey = QStringLiteral("0");
        s_.Timer1.stop();
    } else {
        s_.views.SwitchView(playback::kPlayerView);
        state_.ResumePosition = 0;
        startPlayer(UnescapeText(link.address));
        state_.NextBufferStarted = 0;
        state_.RecordKey = QString::number(link.id);
    }
    const QString key = episodeKey(link.id, link.ly, link.did, link.title);
    state_.EpisodeKey = key;
    state_.NextEpisodeLink = QStringLiteral("0");
    state_.NextEpisodeUrl = QStringLiteral("0");
    showTitle(titleAndName(link.title, link.name));
    if (!link.idText.isEmpty() && !link.title.isEmpty() && !link.address.isEmpty()) {
        if (link.listFlag == u"0") s_.panes.navigate(kEpisodeList, episodeListAddress(key, QStringLiteral("0")));
        s_.records.AddNetworkRecord(link.id, link.title, link.name, link.address, link.ly, link.did, 0);
    }
    state_.RecordKind = 1;
    if (s_.npc_Click) {
        s_.npc_Click(kPlayerTab);
        s_.npc_Click(kEpisodeListTab);
    }
}

void LinkRouter::openRecord(const QString& address) {
    const int line = cutOpenLink(address);
    const records::RecordFile file = activeList();
    const QStringList fields = s_.records.ReadRecordLine(file, line).split(u'|');
    cancelPlayRequest();
    if (file == records::RecordFile::Local) openLocalRecord(line, fields);
    else openNetworkRecord(fields);
}

void LinkRouter::openLocalRecord(int line, const QStringList& fields) {
    const QString name = fields.value(0), path = fields.value(1);
    s_.views.SwitchView(playback::kPlayerView);
    // An address handed over on a command line is recorded here too; only a
    // path can be missing from the disk.
    const bool isAddress = path.contains(QStringLiteral("://"));
    if (!isAddress && !QFileInfo(path).isFile()) {
        s_.dialogs.inform(kNoticeCaption, path + kMissingFileSuffix);
        s_.records.DeleteRecordLine(records::RecordFile::Local, line);
        return;
    }
    startPlayer(path);
    showTitle(CutToWidth(UnescapeText(name), playback::kTitleWidth));
    state_.ResumeDone = 0;
    state_.ResumePosition = linkNumber(fields.value(2));
    state_.EpisodeKey = state_.NextEpisodeLink = state_.NextEpisodeUrl = QStringLiteral("0");
    state_.NextBufferStarted = 0;
    state_.RecordKey = path;
    state_.RecordKind = 2;
}

void LinkRouter::openNetworkRecord(const QStringList& fields) {
    const int id = linkNumber(fields.value(0)), ly = linkNumber(fields.value(4)), did = linkNumber(fields.value(5));
    const QString title = fields.value(1), name = fields.value(2), address = fields.value(3);
    const QString key = episodeKey(id, ly, did, title);
    if (!address.contains(QStringLiteral("qvod"))) {
        s_.views.SwitchView(playback::kWebPlayerView);
        state_.RecordKey = QStringLiteral("0");
        // The episode page starts the episode whose key is ly followed by did.
        s_.panes.navigate(kEpisodeList, episodeListAddress(key, QString::number(ly) + QString::number(did)));
    } else {
        s_.views.SwitchView(playback::kPlayerView);
        startHelperProcess(false, true);
        startPlayer(UnescapeText(address));
        showTitle(titleAndName(title, name));
        state_.ResumeDone = 0;
        state_.ResumePosition = linkNumber(fields.value(6));
        s_.panes.navigate(kEpisodeList, episodeListAddress(key, QStringLiteral("0")));
        state_.EpisodeKey = key;
        state_.NextEpisodeLink = QStringLiteral("0");
        state_.NextBufferStarted = 0;
        state_.NextEpisodeUrl = QStringLiteral("0");
        state_.RecordKey = QString::number(id);
    }
    state_.RecordKind = 1;
    if (s_.npc_Click) s_.npc_Click(kEpisodeListTab);
}

void LinkRouter::deleteRecord(const QString& address) {
    s_.records.DeleteRecordLine(activeList(), cutDeleteLink(address));
    if (state_.RecordKind != 1) s_.panes.refresh(kEpisodeList);
}

void LinkRouter::endOfPlay() {
    const QString autoNext = s_.readSetting
                                 ? s_.readSetting(QStringLiteral("S_q"), QStringLiteral("s_bo"), QStringLiteral("0"))
                                 : QStringLiteral("0");
    s_.Timer1.start();
    if (autoNext != u"2" || state_.NextEpisodeLink == u"1") return;
    if (state_.NextEpisodeLink != u"0" && state_.NextEpisodeLink != u"3") {
        // Nothing prepared yet (no film has played): there is no next episode.
        if (!state_.NextEpisodeLink.isEmpty()) s_.panes.navigate(kCatalogue, state_.NextEpisodeLink);
        return;
    }
    const QString ly = fieldAt(state_.EpisodeKey, QStringLiteral("-"), 1);
    const qint64 next = qint64(linkNumber(fieldAt(state_.EpisodeKey, QStringLiteral("-"), 2))) + 1;
    s_.panes.navigate(kEpisodeList, episodeListAddress(state_.EpisodeKey, ly + QString::number(next)));
}

void LinkRouter::playChannel(const QString& address) {
    s_.panes.navigate(kTv, base_ + QStringLiteral("tv/zuvotv.htm?") + cutChannelLink(address));
    if (c_.gtv) c_.gtv->show();
    s_.views.SwitchView(playback::kLiveTvView);
}

void LinkRouter::l_com(QString& text) {
    cancelPlayRequest();
    text.remove(u'"');
    if (text.endsWith(u'/')) text.chop(1);
    startPlayer(text);
    const qsizetype cut = std::max(text.lastIndexOf(u'/'), text.lastIndexOf(u'\\'));
    const QString name = cut < 0 ? QString() : text.mid(cut + 1);
    showTitle(CutToWidth(name, playback::kTitleWidth));
    state_.ResumeDone = 0;
    state_.ResumePosition = 0;
    state_.NextEpisodeLink = state_.EpisodeKey = state_.NextEpisodeUrl = QStringLiteral("0");
    state_.NextBufferStarted = 0;
    state_.RecordKey = text;
    s_.records.AddLocalRecord(name, text, 0);
    state_.RecordKind = 2;
    if (s_.npc_Click) {
        s_.npc_Click(kPlayerTab);
        s_.npc_Click(kLocalListTab);
    }
}

std::function<void(records::RecordFile, const QString&)> listPaneReloader(PaneNavigator& panes) {
    return [&panes](records::RecordFile file, const QString& pagePath) {
        panes.navigate(file == records::RecordFile::Network ? kNetworkList : kLocalList, pagePath);
    };
}

}  // namespace qarvel::web
