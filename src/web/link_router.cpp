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
#include "playback/play_session.h"
#include "playback/view_switcher.h"
#include "records/record_store.h"
#include "records/record_write_check.h"
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

bool isPlayLink(const QString& address) {
    return address.contains(kPlayRequestScheme) || address.contains(kEpisodeScheme);
}

playback::EpisodeKey episodeKey(int id, int ly, int did, const QString& title) {
    return playback::EpisodeKey{.id = id, .source = ly, .episode = did, .title = title};
}

QString titleAndName(const QString& title, const QString& name) {
    return CutToWidth(UnescapeText(title), playback::kTitleWidth) + u'-' + UnescapeText(name);
}

}  // namespace

LinkRouter::LinkRouter(MainWindowState& state, playback::PlaySession& session, LinkRouterControls controls,
                       LinkRouterServices services, QString base, QString sentinelHost, QObject* parent)
    : QObject(parent),
      state_(state),
      session_(session),
      c_(controls),
      s_(std::move(services)),
      base_(std::move(base)),
      sentinel_(QStringLiteral("http://") +
                (sentinelHost.isEmpty() ? QString::fromLatin1(config::kSentinelHost) : sentinelHost)) {}

LinkRouter::~LinkRouter() { cancelPlayRequest(); }

void LinkRouter::installHooks(const PaneSet& panes) {
    const std::pair<Pane, bool (LinkRouter::*)(const QString&)> hooks[] = {
        {Pane::Catalogue, &LinkRouter::onCatalogueNavigate},
        {Pane::WebPlayer, &LinkRouter::onWebPlayerNavigate},
        {Pane::TaskList, &LinkRouter::onTaskListNavigate},
        {Pane::LocalList, &LinkRouter::onLocalListNavigate},
        {Pane::EpisodeList, &LinkRouter::onEpisodeListNavigate},
        {Pane::ChannelList, &LinkRouter::onChannelListNavigate},
    };
    for (const auto& [which, handler] : hooks) {
        if (WebPane* pane = panes[paneSlot(which)])
            pane->setNavigationHook([this, hook = handler](const QString& address) { return (this->*hook)(address); });
    }
}

// The handlers that pass a link on to another pane (Web4 to Web3, Web5 to
// Web1, the end of play to Web1) reach a handler that sends no program link
// on, so no chain of them can loop.
bool LinkRouter::onCatalogueNavigate(const QString& address) {
    if (!isPlayLink(address)) return false;
    // A play request link can carry an episode link in its title; the
    // request is what the page asked for.
    if (address.contains(kPlayRequestScheme)) requestPlay(address);
    else playEpisode(cutEpisodeLink(address));
    return true;
}

bool LinkRouter::onWebPlayerNavigate(const QString& address) {
    if (!address.contains(sentinel_)) return false;
    endOfPlay();
    return true;
}

bool LinkRouter::onTaskListNavigate(const QString& address) {
    const bool open = address.startsWith(kOpenScheme);
    if (!open && !address.startsWith(kDeleteScheme)) return false;
    if (open) openRecord(address);
    else deleteRecord(address);
    return true;
}

bool LinkRouter::onLocalListNavigate(const QString& address) {
    const bool open = address.startsWith(kOpenScheme);
    if (!open && !address.startsWith(kDeleteScheme)) return false;
    s_.panes.navigate(Pane::TaskList, address);
    if (!open) s_.panes.refresh(Pane::LocalList);
    return true;
}

bool LinkRouter::onEpisodeListNavigate(const QString& address) {
    if (!isPlayLink(address)) return false;
    s_.panes.navigate(Pane::Catalogue, address);
    return true;
}

bool LinkRouter::onChannelListNavigate(const QString& address) {
    if (!address.startsWith(kChannelScheme)) return false;
    playChannel(address);
    return true;
}

records::RecordFile LinkRouter::activeList() const {
    return state_.SideTab == SideTab::LocalList ? records::RecordFile::Local : records::RecordFile::Network;
}

void LinkRouter::cancelPlayRequest() {
    if (ticket_ != 0) s_.fetcher.cancel(ticket_);
    ticket_ = 0;
}

void LinkRouter::requestPlay(const QString& address) {
    cancelPlayRequest();
    const PlayRequestLink link = cutPlayRequestLink(address);
    // The request first: the window's changes below take a few tenths of a
    // millisecond the answer need not wait for (it never comes back before
    // this returns).
    ticket_ =
        s_.fetcher.fetch(playRequestAddress(base_, link.id, link.v, link.v1), [this, link](const QString& answer) {
            ticket_ = 0;
            answerPlay(link, answer);
        });
    playback::setBarText(c_.statusText, kSearchingText);
    if (s_.pressWindowButton) s_.pressWindowButton(MainTab::Player);
}

void LinkRouter::answerPlay(const PlayRequestLink& link, const QString& answer) {
    const PlayAnswer play = classifyPlayAnswer(answer);
    if (play.isFailure()) {
        session_.playRequestFailed();
        playback::setBarText(c_.statusText, kReadErrorText);
    }
    if (play.kind != PlayAnswer::Kind::Found) {
        if (s_.showBalloon) s_.showBalloon(kReadErrorBalloon);
        return;
    }
    // The episode the answer names, as its link would carry it (no list flag).
    EpisodeLink episode;
    episode.kind = play.playerKind;
    episode.address = EscapeText(play.address);
    episode.title = link.title;
    episode.name = play.name;
    episode.id = link.id;
    episode.idText = QString::number(link.id);
    episode.ly = linkNumber(link.v);
    episode.did = linkNumber(link.v1);
    playEpisode(episode);
}

void LinkRouter::startHelperProcess(bool readFolderSetting, bool letEventsRun) {
    // Only a terminal of this player folder counts; one of another program
    // folder serves other files.
    if (s_.processes.findProcessByName(platform::kTerminalProgram, state_.QvodFolder) != 0) return;
    if (readFolderSetting && state_.QvodFolder.isEmpty() && s_.readSetting) {
        // The default "0" (no check has stored a folder yet) names none: the
        // player then starts the service of its own folder.
        const QString stored = s_.readSetting(QStringLiteral("S_q"), QStringLiteral("qvodw"), QStringLiteral("0"));
        if (stored.startsWith(u'/')) state_.QvodFolder = stored;
    }
    if (state_.QvodFolder.isEmpty()) return;
    if (letEventsRun) QCoreApplication::processEvents();
    platform::startHelperProcess(s_.processes, platform::kTerminalProgram, state_.QvodFolder,
                                 platform::HelperStart::Always);
}

void LinkRouter::startPlayer(const QString& url) {
    s_.player.setUrl(url);
    s_.player.play();
    if (!s_.statusPollTimer.isActive()) s_.statusPollTimer.start();
}

void LinkRouter::showTitle(const QString& text) { playback::showTitle(c_.filmTitle, c_.statusStrip, text); }

void LinkRouter::checkRecordWrite(records::RecordStatus status, const char* operation) {
    // A lost write has reached the user through the store; this says which step it was.
    (void)records::recordWriteFailed(status, operation);
}

QString LinkRouter::episodeListAddress(const QString& key, const QString& startKey) const {
    return base_ + QStringLiteral("pp.htm?") + key + u'-' + startKey;
}

void LinkRouter::playEpisode(const EpisodeLink& link) {
    cancelPlayRequest();
    const playback::EpisodeKey key = episodeKey(link.id, link.ly, link.did, link.title);
    if (link.kind != u"qvod") {
        s_.views.showView(View::WebPlayer);
        s_.panes.navigate(Pane::WebPlayer,
                          base_ + QStringLiteral("play.htm?") + link.kind + QStringLiteral("$$$") + link.address);
        session_.startWebPlayerEpisode(key);
        s_.statusPollTimer.stop();
    } else {
        s_.views.showView(View::Player);
        session_.startNetworkEpisode(key, 0);
        startPlayer(UnescapeText(link.address));
    }
    showTitle(titleAndName(link.title, link.name));
    if (!link.idText.isEmpty() && !link.title.isEmpty() && !link.address.isEmpty()) {
        if (link.listFlag == u"0")
            s_.panes.navigate(Pane::EpisodeList, episodeListAddress(key.text(), QStringLiteral("0")));
        checkRecordWrite(
            s_.records.AddNetworkRecord(link.id, link.title, link.name, link.address, link.ly, link.did, 0),
            "adding the network episode");
    }
    if (s_.pressWindowButton) {
        s_.pressWindowButton(MainTab::Player);
        s_.pressWindowButton(SideTab::EpisodeList);
    }
    // Last: the player already has its film, and looking the service up among
    // the running processes takes a millisecond or more.
    startHelperProcess(true, false);
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
    s_.views.showView(View::Player);
    // An address handed over on a command line is recorded here too; only a
    // path can be missing from the disk.
    const bool isAddress = path.contains(QStringLiteral("://"));
    if (!isAddress && !QFileInfo(path).isFile()) {
        s_.dialogs.inform(kNoticeCaption, path + kMissingFileSuffix);
        checkRecordWrite(s_.records.DeleteRecordLine(records::RecordFile::Local, line), "removing a missing file");
        return;
    }
    startPlayer(path);
    showTitle(CutToWidth(UnescapeText(name), playback::kTitleWidth));
    session_.startLocalFile(path, linkNumber(fields.value(2)));
}

void LinkRouter::openNetworkRecord(const QStringList& fields) {
    const int id = linkNumber(fields.value(0)), ly = linkNumber(fields.value(4)), did = linkNumber(fields.value(5));
    const QString title = fields.value(1), name = fields.value(2), address = fields.value(3);
    const playback::EpisodeKey key = episodeKey(id, ly, did, title);
    if (!address.contains(QStringLiteral("qvod"))) {
        s_.views.showView(View::WebPlayer);
        session_.handOverToWebPlayer();
        // The episode page starts the episode whose key is ly followed by did.
        s_.panes.navigate(Pane::EpisodeList,
                          episodeListAddress(key.text(), QString::number(ly) + QString::number(did)));
    } else {
        s_.views.showView(View::Player);
        startHelperProcess(false, true);
        startPlayer(UnescapeText(address));
        showTitle(titleAndName(title, name));
        session_.startNetworkEpisode(key, linkNumber(fields.value(6)));
        s_.panes.navigate(Pane::EpisodeList, episodeListAddress(key.text(), QStringLiteral("0")));
    }
    if (s_.pressWindowButton) s_.pressWindowButton(SideTab::EpisodeList);
}

void LinkRouter::deleteRecord(const QString& address) {
    checkRecordWrite(s_.records.DeleteRecordLine(activeList(), cutDeleteLink(address)), "deleting a record");
    if (session_.recordKind() != playback::RecordKind::NetworkItem) s_.panes.refresh(Pane::EpisodeList);
}

void LinkRouter::endOfPlay() {
    const QString autoNext = s_.readSetting
                                 ? s_.readSetting(QStringLiteral("S_q"), QStringLiteral("s_bo"), QStringLiteral("0"))
                                 : QStringLiteral("0");
    s_.statusPollTimer.start();
    if (autoNext != u"2") return;
    switch (session_.next()) {
    case playback::NextEpisode::Unknown:  // no film has played
    case playback::NextEpisode::Last: return;
    case playback::NextEpisode::Available: s_.panes.navigate(Pane::Catalogue, session_.nextLink()); return;
    case playback::NextEpisode::NotAsked:
    case playback::NextEpisode::NotYet:
    case playback::NextEpisode::Failed: break;
    }
    // The episode page starts the episode after the one that played.
    const std::optional<playback::EpisodeKey>& key = session_.episode();
    if (key) {
        s_.panes.navigate(
            Pane::EpisodeList,
            episodeListAddress(key->text(), QString::number(key->source) + QString::number(qint64(key->episode) + 1)));
    } else {
        s_.panes.navigate(Pane::EpisodeList, episodeListAddress(QStringLiteral("0"), QStringLiteral("1")));
    }
}

void LinkRouter::playChannel(const QString& address) {
    s_.panes.navigate(Pane::LiveTv, base_ + QStringLiteral("tv/zuvotv.htm?") + cutChannelLink(address));
    if (c_.liveTvCloseButton) c_.liveTvCloseButton->show();
    s_.views.showView(View::LiveTv);
    session_.showLiveTv();
}

void LinkRouter::runCommandText(QString& text) {
    cancelPlayRequest();
    text.remove(u'"');
    if (text.endsWith(u'/')) text.chop(1);
    startPlayer(text);
    const qsizetype cut = std::max(text.lastIndexOf(u'/'), text.lastIndexOf(u'\\'));
    const QString name = cut < 0 ? QString() : text.mid(cut + 1);
    showTitle(CutToWidth(name, playback::kTitleWidth));
    session_.startLocalFile(text, 0);
    checkRecordWrite(s_.records.AddLocalRecord(name, text, 0), "adding the local file");
    if (s_.pressWindowButton) {
        s_.pressWindowButton(MainTab::Player);
        s_.pressWindowButton(SideTab::LocalList);
    }
}

}  // namespace qarvel::web
