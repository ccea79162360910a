// The link protocol: one group per scheme, with the fake player and record
// files on disk; the play request against a loopback service.
#include "link_router_rig.h"

#include "common/build_config.h"
#include "common/escape_text.h"
#include "common/text_codec.h"
#include "platform/player_component.h"
#include "playback/play_session.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace qarvel::web::test {
namespace {

using playback::EpisodeKey;
using playback::NextEpisode;
using playback::PlaySource;
using playback::RecordKind;
using records::RecordFile;

const QString kEpisode =
    QStringLiteral("zvqvod://qvod&&&qvod%3A//1%7Cab%7Ca.mp4%7C&&&%u7535%u5F71&&&%u7B2C1%u96C6&&&7&&&0&&&2&&&0/");

QString firstLine(const QString& file) { return file.section(QStringLiteral("\r\n"), 0, 0); }

TEST(ListPanes, APageRebuiltWhileAFilmOpensIsShownOnceItPlaysOrAfterASecond) {
    FakeNavigator nav;
    bool opening = true;
    ListPaneReloads reloads(nav, [&] { return opening; });
    reloads.show(RecordFile::Network, QStringLiteral("/p/c.htm"));
    reloads.show(RecordFile::Network, QStringLiteral("/p/c2.htm"));
    reloads.show(RecordFile::Local, QStringLiteral("/p/f.htm"));
    EXPECT_TRUE(nav.log.isEmpty());
    opening = false;  // the film plays: the latest page of each list, once
    ASSERT_TRUE(waitUntil([&] { return !nav.log.isEmpty(); }, 1000));
    EXPECT_EQ(nav.log, QStringList({"3 /p/c2.htm", "4 /p/f.htm"}));
    reloads.show(RecordFile::Local, QStringLiteral("/p/f.htm"));  // nothing opening: at once
    EXPECT_EQ(nav.log.size(), 3);

    opening = true;  // a film that never gets going holds the list a second at most
    reloads.show(RecordFile::Network, QStringLiteral("/p/c.htm"));
    QElapsedTimer held;
    held.start();
    ASSERT_TRUE(waitUntil([&] { return nav.log.size() == 4; }, 3000));
    EXPECT_GE(held.elapsed(), 900);
}

TEST(EpisodeLinks, PlayerKindPlaysRecordsAndOpensTheEpisodeList) {
    RouterRig rig;
    EXPECT_TRUE(rig.router.onCatalogueNavigate(kEpisode));
    EXPECT_EQ(rig.player.calls(), QStringList({"setUrl qvod://1|ab|a.mp4|", "play"}));
    EXPECT_TRUE(rig.statusPollTimer.isActive());
    EXPECT_EQ(rig.state.CurrentView, 2);
    EXPECT_EQ(rig.session.source(), PlaySource::NetworkEpisode);
    EXPECT_EQ(rig.session.recordKey(), QStringLiteral("7"));
    EXPECT_EQ(rig.session.episode(), (EpisodeKey{7, 0, 2, QStringLiteral("%u7535%u5F71")}));
    EXPECT_EQ(rig.session.next(), NextEpisode::NotAsked);
    EXPECT_TRUE(rig.session.nextAddress().isEmpty());
    EXPECT_EQ(rig.session.recordKind(), RecordKind::NetworkItem);
    EXPECT_EQ(rig.filmTitle.text(), "电影-第1集");
    EXPECT_EQ(rig.filmTitle.x(), (rig.statusStrip.width() - rig.filmTitle.width()) / 2);
    EXPECT_TRUE(rig.nav.log.contains("5 " + rig.base + "pp.htm?7-0-2-%u7535%u5F71-0"));
    EXPECT_EQ(firstLine(rig.lines(RecordFile::Network)),
              "7|%u7535%u5F71|%u7B2C1%u96C6|qvod%3A//1%7Cab%7Ca.mp4%7C|0|2|0");
    EXPECT_EQ(rig.windowButtons, QList<int>({9, 11}));
}

TEST(EpisodeLinks, ListFlagOtherThanZeroOrAbsentLeavesTheEpisodeList) {
    for (const QString& link : {QStringLiteral("zvqvod://qvod&&&qvod%3A//a&&&T&&&N&&&7&&&0&&&2&&&n&&&1"),
                                QStringLiteral("zvqvod://qvod&&&qvod%3A//a&&&T&&&N&&&7&&&0&&&2")}) {
        RouterRig rig;
        rig.router.onCatalogueNavigate(link);
        EXPECT_TRUE(rig.nav.log.filter(QRegularExpression("^5 ")).isEmpty()) << link.toStdString();
        EXPECT_TRUE(firstLine(rig.lines(RecordFile::Network)).startsWith("7|T|N|")) << link.toStdString();
    }
}

TEST(EpisodeLinks, OtherKindOpensTheWebPlayerPage) {
    RouterRig rig;
    rig.statusPollTimer.start();
    rig.router.onCatalogueNavigate("zvqvod://flv&&&http%3A//h/a.flv&&&T&&&N&&&7&&&0&&&2");
    EXPECT_EQ(rig.state.CurrentView, 1);
    EXPECT_TRUE(rig.nav.log.contains("2 " + rig.base + "play.htm?flv$$$http%3A//h/a.flv"));
    EXPECT_EQ(rig.session.source(), PlaySource::WebPlayer);
    EXPECT_FALSE(rig.session.recordKey());
    EXPECT_FALSE(rig.statusPollTimer.isActive());
    EXPECT_TRUE(rig.player.calls().isEmpty());
}

TEST(EpisodeLinks, MissingFieldsPlayButRecordNothing) {
    RouterRig rig;
    const QString before = rig.lines(RecordFile::Network);
    rig.router.onCatalogueNavigate("zvqvod://qvod&&&qvod%3A//a&&&&&&N&&&&&&x&&&y&&&0");
    EXPECT_EQ(rig.lines(RecordFile::Network), before);
    EXPECT_EQ(rig.player.count("play"), 1);
    EXPECT_EQ(rig.session.episode()->text(), "0-0-0-");
    EXPECT_EQ(rig.session.recordKind(), RecordKind::NetworkItem);
    EXPECT_EQ(rig.windowButtons, QList<int>({9, 11}));
}

TEST(EpisodeLinks, RecordThatCannotBeSavedIsReported) {
    RouterRig rig;
    ASSERT_TRUE(QFile::remove(rig.store.recordFilePath(RecordFile::Network)));
    rig.router.onCatalogueNavigate(kEpisode);
    EXPECT_EQ(rig.player.count("play"), 1);
    EXPECT_EQ(rig.recordWriteFailures, 1);
    // A record refused for its text is no lost write.
    QString refused = "/a|b.mkv";
    rig.router.runCommandText(refused);
    EXPECT_EQ(rig.recordWriteFailures, 1);
}

TEST(EpisodeLinks, HelperProcessStartedFromTheStoredFolderWhenNotRunning) {
    RouterRig rig;
    rig.settings["S_q/qvodw"] = "/opt/q/";
    rig.router.onCatalogueNavigate(kEpisode);
    EXPECT_EQ(rig.state.QvodFolder, "/opt/q/");
    EXPECT_EQ(rig.processes.started, QStringList({"qarvel-terminal|/opt/q/"}));

    RouterRig running;
    running.processes.running = 42;
    running.router.onCatalogueNavigate(kEpisode);
    EXPECT_TRUE(running.processes.started.isEmpty());
}

TEST(EpisodeLinks, LongTitleIsCutToThirtyUnits) {
    RouterRig rig;
    const QString title = QString(20, QChar(0x4E2D));
    rig.router.onCatalogueNavigate("zvqvod://qvod&&&a&&&" + EscapeText(title) + "&&&N&&&1&&&0&&&0");
    EXPECT_EQ(rig.filmTitle.text(), QString(15, QChar(0x4E2D)) + "-N");
}

TEST(EpisodeLinks, HostileFieldsNeitherCrashNorBreakTheRecordFile) {
    RouterRig rig;
    const QString before = rig.lines(RecordFile::Network);
    // A bare "|" or line break would split the record line.
    rig.router.onCatalogueNavigate("zvqvod://qvod&&&a|b&&&T&&&N&&&1&&&0&&&0");
    rig.router.onCatalogueNavigate("zvqvod://qvod&&&a&&&T\r\n9|x&&&N&&&1&&&0&&&0");
    EXPECT_EQ(rig.lines(RecordFile::Network), before);
    const QString huge(1 << 20, u'x');
    rig.router.onCatalogueNavigate("zvqvod://qvod&&&" + huge + "&&&" + huge + "&&&%u12&&&" + QChar(0) +
                                   "&&&99999999999999999999&&&-1&&&2147483647");
    EXPECT_EQ(rig.session.recordKey(), QStringLiteral("0"));
    EXPECT_EQ(rig.session.episode()->text(), "0-0--1-" + huge);
    EXPECT_TRUE(rig.router.onCatalogueNavigate("zvqvod://"));
    EXPECT_FALSE(rig.router.onCatalogueNavigate("ZVQVOD://qvod&&&a"));
}

TEST(PlayRequests, FoundAnswerContinuesAsAnEpisodeLink) {
    RouterRig rig;
    rig.service.answer("7", "第1集$qvod://1|ab|a.mp4|$qvod$extra");
    EXPECT_TRUE(rig.router.onCatalogueNavigate("zuvovod://7-0-2-%u7535-x/"));
    // Before the answer: the status text and the player tab, nothing played.
    EXPECT_EQ(rig.statusText.text(), "正在搜索资源，请稍后");
    EXPECT_EQ(rig.windowButtons, QList<int>({9}));
    EXPECT_TRUE(rig.player.calls().isEmpty());
    ASSERT_TRUE(waitUntil([&] { return !rig.router.playRequestPending(); }));
    EXPECT_EQ(rig.service.queries(), std::vector<std::string>({"/box/h.asp?id=7&v=0&v1=2"}));
    // Straight to the episode it names, as its link would carry it.
    EXPECT_TRUE(rig.nav.log.filter(QRegularExpression("^1 ")).isEmpty());
    EXPECT_EQ(rig.player.calls(), QStringList({"setUrl qvod://1|ab|a.mp4|", "play"}));
    EXPECT_EQ(rig.session.episode(), (EpisodeKey{7, 0, 2, QStringLiteral("%u7535")}));
    EXPECT_EQ(firstLine(rig.lines(RecordFile::Network)), "7|%u7535|第1集|qvod%3A//1%7Cab%7Ca.mp4%7C|0|2|0");
    EXPECT_EQ(rig.filmTitle.text(), "电-第1集");
    EXPECT_TRUE(rig.nav.log.filter(QRegularExpression("^5 ")).isEmpty());  // no list flag
    EXPECT_TRUE(rig.balloons.isEmpty());
}

TEST(PlayRequests, RefusalNothingAndSilenceShowTheErrorAndTheBalloon) {
    for (const QString& answer : {QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("00")}) {
        RouterRig rig;
        rig.service.answer("7", answer);
        rig.router.onCatalogueNavigate("zuvovod://7-0-2-T");
        ASSERT_TRUE(waitUntil([&] { return !rig.router.playRequestPending(); }));
        EXPECT_EQ(rig.session.next(), NextEpisode::Last);
        EXPECT_EQ(rig.statusText.text(), "读取数据出错，请重试");
        EXPECT_EQ(rig.balloons, QStringList({"读取数据出错，请返回重试！"}));
        EXPECT_TRUE(rig.player.calls().isEmpty());
    }
    RouterRig down(QStringLiteral("http://127.0.0.1:%1/box/").arg(closedPort()));
    down.router.onCatalogueNavigate("zuvovod://7-0-2-T");
    ASSERT_TRUE(waitUntil([&] { return !down.router.playRequestPending(); }));
    EXPECT_EQ(down.session.next(), NextEpisode::Last);
    EXPECT_EQ(down.balloons.size(), 1);
}

TEST(PlayRequests, UnusableAnswerOnlyShowsTheBalloon) {
    RouterRig rig;
    rig.service.answer("7", "<html>busy</html>");
    rig.router.onCatalogueNavigate("zuvovod://7-0-2-T");
    ASSERT_TRUE(waitUntil([&] { return !rig.router.playRequestPending(); }));
    EXPECT_EQ(rig.statusText.text(), "正在搜索资源，请稍后");
    EXPECT_EQ(rig.session.next(), NextEpisode::Unknown);
    EXPECT_EQ(rig.balloons.size(), 1);
    EXPECT_TRUE(rig.player.calls().isEmpty());
}

TEST(PlayRequests, NewerPlayActionDropsTheLateAnswer) {
    RouterRig rig;
    rig.service.answer("1", "slow$qvod://slow$qvod");
    rig.service.answer("2", "fast$qvod://fast$qvod");
    rig.service.slow("1", 800);
    rig.router.onCatalogueNavigate("zuvovod://1-0-0-A");
    rig.router.onCatalogueNavigate("zuvovod://2-0-0-B");
    ASSERT_TRUE(waitUntil([&] { return !rig.router.playRequestPending(); }));
    runEventsFor(1200);  // the first answer has arrived by now, and must be ignored
    EXPECT_EQ(rig.player.calls(), QStringList({"setUrl qvod://fast", "play"}));

    // A direct episode link supersedes a pending request too.
    RouterRig direct;
    direct.service.answer("1", "slow$qvod://slow$qvod");
    direct.service.slow("1", 300);
    direct.router.onCatalogueNavigate("zuvovod://1-0-0-A");
    direct.router.onCatalogueNavigate(kEpisode);
    EXPECT_FALSE(direct.router.playRequestPending());
    runEventsFor(600);
    EXPECT_EQ(direct.player.count("play"), 1);
}

TEST(Forwarding, EpisodeListPassesPlayLinksToTheCatalogue) {
    RouterRig rig;
    EXPECT_TRUE(rig.router.onEpisodeListNavigate(kEpisode));
    EXPECT_EQ(rig.nav.log.first(), "1 " + kEpisode);
    EXPECT_EQ(rig.player.count("play"), 1);
    EXPECT_FALSE(rig.router.onEpisodeListNavigate(rig.base + "pp.htm?1-0-0-T-0"));
    EXPECT_FALSE(rig.router.onCatalogueNavigate(rig.base));
}

TEST(Forwarding, LocalListPassesRecordLinksToTheNetworkListPane) {
    RouterRig rig;
    EXPECT_TRUE(rig.router.onLocalListNavigate("delk://2/"));
    EXPECT_EQ(rig.nav.log.mid(0, 1), QStringList({"3 delk://2/"}));
    EXPECT_EQ(rig.nav.log.last(), "refresh 4");
    rig.nav.log.clear();
    EXPECT_TRUE(rig.router.onLocalListNavigate("open://1"));
    EXPECT_EQ(rig.nav.log.first(), "3 open://1");
    EXPECT_FALSE(rig.nav.log.contains("refresh 4"));
    EXPECT_FALSE(rig.router.onLocalListNavigate("file:///tmp/f.htm"));
}

TEST(OpenLinks, LocalFileThatIsGoneIsReportedAndRemoved) {
    RouterRig rig;
    rig.state.SideTab = SideTab::LocalList;
    rig.putRecords(RecordFile::Local, "a.mp4|/nowhere/a.mp4|5\r\nb.mp4|/nowhere/b.mp4|0\r\n");
    EXPECT_TRUE(rig.router.onTaskListNavigate("open://1/"));
    EXPECT_EQ(rig.dialogs.shown, QStringList({"提示：|/nowhere/a.mp4不存在!"}));
    EXPECT_EQ(firstLine(rig.lines(RecordFile::Local)), "b.mp4|/nowhere/b.mp4|0");
    EXPECT_TRUE(rig.player.calls().isEmpty());
    EXPECT_EQ(rig.state.CurrentView, 2);
}

TEST(OpenLinks, LocalFilePlaysFromItsPosition) {
    RouterRig rig;
    rig.state.SideTab = SideTab::LocalList;
    const QString path = rig.folder.file("中.mp4");
    rig.folder.put("中.mp4", "x");
    rig.putRecords(RecordFile::Local, toGbk("%u4E2D.mp4|" + path + "|42\r\n"));
    rig.router.onTaskListNavigate("open://1");
    EXPECT_EQ(rig.player.calls(), QStringList({"setUrl " + path, "play"}));
    EXPECT_EQ(rig.filmTitle.text(), "中.mp4");
    EXPECT_EQ(rig.session.source(), PlaySource::LocalFile);
    EXPECT_EQ(rig.session.resumePosition(), 42);
    EXPECT_EQ(rig.session.recordKey(), path);
    EXPECT_EQ(rig.session.recordKind(), RecordKind::LocalFile);
    EXPECT_FALSE(rig.session.episode());
    EXPECT_TRUE(rig.dialogs.shown.isEmpty());
}

TEST(OpenLinks, LocalAddressFromACommandLinePlaysWithoutAFileCheck) {
    RouterRig rig;
    rig.state.SideTab = SideTab::LocalList;
    rig.putRecords(RecordFile::Local, "live|http://127.0.0.1:1/live|0\r\n");
    rig.router.onTaskListNavigate("open://1");
    EXPECT_EQ(rig.player.calls(), QStringList({"setUrl http://127.0.0.1:1/live", "play"}));
    EXPECT_TRUE(rig.dialogs.shown.isEmpty());
    EXPECT_EQ(firstLine(rig.lines(RecordFile::Local)), "live|http://127.0.0.1:1/live|0");
}

TEST(OpenLinks, NetworkRecordPlaysOrOpensItsEpisode) {
    RouterRig rig;
    rig.putRecords(RecordFile::Network, "7|T|N|qvod%3A//x|1|3|120\r\n8|U|M|http%3A//h/v.flv|2|4|0\r\n");
    rig.router.onTaskListNavigate("open://1");
    EXPECT_EQ(rig.player.calls(), QStringList({"setUrl qvod://x", "play"}));
    EXPECT_EQ(rig.session.resumePosition(), 120);
    EXPECT_EQ(rig.session.recordKey(), QStringLiteral("7"));
    EXPECT_EQ(rig.session.episode(), (EpisodeKey{7, 1, 3, QStringLiteral("T")}));
    EXPECT_TRUE(rig.nav.log.contains("5 " + rig.base + "pp.htm?7-1-3-T-0"));
    EXPECT_EQ(rig.windowButtons, QList<int>({11}));

    rig.router.onTaskListNavigate("open://2/");
    EXPECT_EQ(rig.state.CurrentView, 1);
    EXPECT_FALSE(rig.session.recordKey());
    EXPECT_EQ(rig.nav.log.last(), "5 " + rig.base + "pp.htm?8-2-4-U-24");
    EXPECT_EQ(rig.session.recordKind(), RecordKind::NetworkItem);

    // Past the end: an empty record, which is no player address.
    rig.router.onTaskListNavigate("open://99");
    EXPECT_EQ(rig.nav.log.last(), "5 " + rig.base + "pp.htm?0-0-0--00");
}

TEST(DeleteLinks, DeleteTheLineOfTheActiveList) {
    RouterRig rig;
    rig.putRecords(RecordFile::Network, "1|A|a|x|0|0|0\r\n2|B|b|x|0|0|0\r\n");
    rig.session.startNetworkEpisode({1, 0, 0, QStringLiteral("A")}, 0);
    EXPECT_TRUE(rig.router.onTaskListNavigate("delk://2/"));
    EXPECT_FALSE(rig.lines(RecordFile::Network).contains("2|B"));
    EXPECT_TRUE(rig.nav.log.contains("3 " + rig.pages.pagePath(RecordFile::Network)));
    EXPECT_FALSE(rig.nav.log.contains("refresh 5"));

    rig.state.SideTab = SideTab::LocalList;
    rig.putRecords(RecordFile::Local, "a|/a|0\r\nb|/b|0\r\n");
    rig.session.startLocalFile(QStringLiteral("/b"), 0);
    rig.router.onTaskListNavigate("delk://1");
    EXPECT_EQ(firstLine(rig.lines(RecordFile::Local)), "b|/b|0");
    EXPECT_TRUE(rig.nav.log.contains("4 " + rig.pages.pagePath(RecordFile::Local)));
    EXPECT_EQ(rig.nav.log.last(), "refresh 5");
    EXPECT_TRUE(rig.lines(RecordFile::Network).startsWith("1|A"));
}

TEST(EndOfPlay, NextEpisodeOnlyWhenAutoPlayIsOn) {
    const QString sentinel = QString::fromLatin1(config::kSentinelUrl);
    RouterRig off;
    off.session.nextFailed();
    EXPECT_TRUE(off.router.onWebPlayerNavigate(sentinel));
    EXPECT_TRUE(off.statusPollTimer.isActive());
    EXPECT_TRUE(off.nav.log.isEmpty());

    RouterRig failed;
    failed.settings["S_q/s_bo"] = "2";
    failed.session.nextLast();
    failed.router.onWebPlayerNavigate(sentinel + "end");
    EXPECT_TRUE(failed.nav.log.isEmpty());
    EXPECT_TRUE(failed.statusPollTimer.isActive());

    RouterRig list;
    list.settings["S_q/s_bo"] = "2";
    list.session.startNetworkEpisode({7, 0, 3, QStringLiteral("T")}, 0);
    list.session.nextFailed();
    list.router.onWebPlayerNavigate(sentinel);
    EXPECT_EQ(list.nav.log, QStringList({"5 " + list.base + "pp.htm?7-0-3-T-04"}));

    RouterRig prepared;
    prepared.settings["S_q/s_bo"] = "2";
    prepared.session.nextAvailable(kEpisode, QStringLiteral("qvod://1|ab|a.mp4|"));
    prepared.router.onWebPlayerNavigate(sentinel);
    EXPECT_EQ(prepared.player.count("play"), 1);

    EXPECT_FALSE(prepared.router.onWebPlayerNavigate("http://example.invalid/"));
}

TEST(ChannelLinks, ChannelPlaysInTheTvPane) {
    RouterRig rig;
    rig.liveTvCloseButton.hide();
    EXPECT_TRUE(rig.router.onChannelListNavigate("zvtvs://cctv-1/"));
    EXPECT_EQ(rig.nav.log, QStringList({"10 " + rig.base + "tv/zuvotv.htm?cctv-1/"}));
    EXPECT_FALSE(rig.liveTvCloseButton.isHidden());
    EXPECT_EQ(rig.state.CurrentView, 3);
    EXPECT_FALSE(rig.router.onChannelListNavigate("ZVTVS://x"));
    EXPECT_FALSE(rig.router.onChannelListNavigate("http://h/zvtvs://x"));
}

TEST(CommandLine, PlaysAndRecordsTheLocalFile) {
    RouterRig rig;
    QString text = "\"/media/a b/film.mkv\"";
    rig.router.runCommandText(text);
    EXPECT_EQ(text, "/media/a b/film.mkv");
    EXPECT_EQ(rig.player.calls(), QStringList({"setUrl /media/a b/film.mkv", "play"}));
    EXPECT_EQ(rig.filmTitle.text(), "film.mkv");
    EXPECT_EQ(firstLine(rig.lines(RecordFile::Local)), "film.mkv|/media/a b/film.mkv|0");
    EXPECT_EQ(rig.session.recordKey(), text);
    EXPECT_EQ(rig.session.recordKind(), RecordKind::LocalFile);
    EXPECT_FALSE(rig.session.episode());
    EXPECT_EQ(rig.windowButtons, QList<int>({9, 7}));
    EXPECT_TRUE(rig.nav.log.contains("4 " + rig.pages.pagePath(RecordFile::Local)));

    QString address = "http://h/x.mp4/";
    rig.router.runCommandText(address);
    EXPECT_EQ(address, "http://h/x.mp4");
    EXPECT_EQ(rig.filmTitle.text(), "x.mp4");
    QString windows = "C:\\v\\f.avi";
    rig.router.runCommandText(windows);
    EXPECT_EQ(rig.filmTitle.text(), "f.avi");
    QString bare = "abc";
    rig.router.runCommandText(bare);
    EXPECT_EQ(rig.filmTitle.text(), "");
    EXPECT_EQ(firstLine(rig.lines(RecordFile::Local)), "|abc|0");
}

TEST(Views, LeavingThePlayerStopsAndKeepsThePosition) {
    RouterRig rig;
    rig.putRecords(RecordFile::Network, "7|T|N|qvod%3A//x|0|0|0\r\n");
    rig.state.CurrentView = View::Player;
    rig.session.startNetworkEpisode({7, 0, 0, QStringLiteral("T")}, 0);
    rig.session.setPositionReached(30);
    rig.statusPollTimer.start();
    rig.views.showView(View::Player);  // the player view again stops too
    EXPECT_EQ(firstLine(rig.lines(RecordFile::Network)), "7|T|N|qvod%3A//x|0|0|30");
    EXPECT_EQ(rig.player.calls(), QStringList({"stop"}));
    EXPECT_FALSE(rig.statusPollTimer.isActive());
    EXPECT_EQ(rig.statusText.text(), "已停止");
    EXPECT_EQ(rig.session.positionReached(), 0);

    rig.state.CurrentView = View::WebPlayer;
    rig.views.showView(View::LiveTv);
    EXPECT_EQ(rig.webPlayerCloseButton, 1);
    rig.views.showView(View::WebPlayer);
    EXPECT_EQ(rig.gtv_clicks, 1);
    EXPECT_EQ(rig.player.count("stop"), 1);
}

TEST(RealPanes, ProgramLinksReachTheRouterThroughThePanes) {
    RouterRig rig;
    PaneSet panes{};
    std::vector<std::unique_ptr<WebPane>> owned;
    for (auto& pane : panes) pane = owned.emplace_back(std::make_unique<WebPane>()).get();
    rig.router.installHooks(panes);
    PaneSetNavigator real(panes);
    rig.nav.forward = &real;
    real.navigate(5, kEpisode);  // forwarded to Web1, which plays it
    EXPECT_EQ(rig.nav.log.first(), "1 " + kEpisode);
    EXPECT_TRUE(rig.nav.log.contains("5 " + rig.base + "pp.htm?7-0-2-%u7535%u5F71-0"));
    EXPECT_EQ(rig.player.count("play"), 1);
    EXPECT_EQ(rig.session.recordKey(), QStringLiteral("7"));
}

TEST(PlayerComponent, PresentOnlyWhenTheLibraryLoads) {
    EXPECT_TRUE(platform::LinuxPlayerComponent().componentFileExists());
    EXPECT_FALSE(platform::LinuxPlayerComponent("libqarvel-no-such-player.so.9").componentFileExists());
    EXPECT_FALSE(platform::LinuxPlayerComponent("libz.so.1").componentFileExists());  // no player inside
}

}  // namespace
}  // namespace qarvel::web::test
