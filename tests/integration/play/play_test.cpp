// What a user does first: a click on an episode in the catalogue plays it
// (its picture showing with its first frame), records it and lists it; the
// list plays it again and deletes it; a channel plays in the TV pane; a
// web-player series moves on at the end of an episode; a failing play request
// says so and plays nothing; panes out of sight are hidden to their pages
// while a film plays; a film that cannot be played says so. The window is the
// program's own (Application, as main() builds it) on the demo service.
#include "program_harness.h"

#include <QLabel>

using namespace playtest;
using namespace qarvel;

TEST(PlayFromTheCatalogue, ClickPlaysRecordsListsReplaysAndDeletes) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    // No next-episode requests: the play requests counted here are the clicks'.
    Program p(service.baseUrl(), {{"s_h", "1"}});
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(p.catalogueShown());

    // The picture takes the pages' place with the film's first frame, not at
    // the status poll's next tick (up to a second later).
    std::optional<bool> pictureShownAtFirstFrame;
    QObject::connect(&mpv(p), &engine::MpvPlayer::firstFrame, p.c().videoFrame, [&] {
        pictureShownAtFirstFrame = !p.c().videoFrame->isHidden() && p.c().adArea->isHidden() && p.playing();
    });
    ASSERT_TRUE(p.clickEpisode(1001, QStringLiteral("第01集")));
    ASSERT_TRUE(waitUntil([&] { return p.playing(); })) << int(p.player().playState());
    ASSERT_TRUE(waitUntil([&] { return pictureShownAtFirstFrame.has_value(); }));
    EXPECT_TRUE(*pictureShownAtFirstFrame);
    EXPECT_EQ(service.requestCount(ep::kPlayRequest), 1);
    EXPECT_EQ(p.state().CurrentView, View::Player);
    EXPECT_EQ(p.session().recordKey(), QStringLiteral("1001"));
    EXPECT_EQ(p.session().recordKind(), qarvel::playback::RecordKind::NetworkItem);
    EXPECT_EQ(p.c().filmTitle->text(), QStringLiteral("星河往事-第01集"));
    EXPECT_EQ(p.state().MainTab, MainTab::Player);
    // The record, its page and the list pane.
    EXPECT_TRUE(readGbk(p.files().networkRecords).startsWith(QStringLiteral("1001|%u661F%u6CB3%u5F80%u4E8B|")));
    EXPECT_TRUE(readGbk(p.files().networkListPage).contains(QStringLiteral("星河往事")));
    ASSERT_TRUE(
        waitUntil([&] { return bodyText(p.pane(qarvel::Pane::TaskList)).contains(QStringLiteral("星河往事")); }));

    // The list plays it again, without asking the service.
    p.player().stop();
    ASSERT_TRUE(waitUntil([&] { return !p.playing(); }));
    // The list may be shown again meanwhile (its first load and the rebuilt one).
    ASSERT_TRUE(
        waitUntil([&] { return clickIn(p.pane(qarvel::Pane::TaskList), QStringLiteral("a[href^=\"open://\"]")); }));
    ASSERT_TRUE(waitUntil([&] { return p.playing(); }));
    EXPECT_EQ(service.requestCount(ep::kPlayRequest), 1);
    EXPECT_TRUE(waitUntil([&] {
        return p.pane(qarvel::Pane::EpisodeList)->url().toString().contains(QStringLiteral("pp.htm?1001-0-0-"));
    }));

    // Its delete icon removes it, and the list says it is empty.
    // The replay rebuilt the list: it may still be loading.
    ASSERT_TRUE(
        waitUntil([&] { return clickIn(p.pane(qarvel::Pane::TaskList), QStringLiteral("a[href^=\"delk://\"]")); }));
    EXPECT_TRUE(
        waitUntil([&] { return bodyText(p.pane(qarvel::Pane::TaskList)).contains(QStringLiteral("暂无记录")); }));
    EXPECT_FALSE(readGbk(p.files().networkRecords).contains(QStringLiteral("1001|")));
}

TEST(PlayFromTheCatalogue, LocalListPlaysAFileAndDropsOneThatIsGone) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl());
    ASSERT_TRUE(p.started);
    const QString clip = QString::fromStdString(service.mediaDir()) + QStringLiteral("/xiake-01.mp4");
    const QString gone = p.home.path() + QStringLiteral("/gone.mp4");
    QFile::copy(clip, gone);
    // Two files played from a command line land in the local list, newest first.
    QString first = gone, second = clip;
    p.application->parts().router->runCommandText(first);
    p.application->parts().router->runCommandText(second);
    ASSERT_TRUE(waitUntil([&] { return p.playing(); }));
    EXPECT_TRUE(readGbk(p.files().localRecords).startsWith(QStringLiteral("xiake-01.mp4|") + clip));
    // Latin names read right around the page's GBK middle dot; the delete icon is installed.
    ASSERT_TRUE(waitUntil([&] {
        return bodyText(p.pane(qarvel::Pane::LocalList)).contains(QStringLiteral("·gone.mp4"));
    })) << bodyText(p.pane(qarvel::Pane::LocalList)).toStdString();
    EXPECT_TRUE(QFile::exists(p.files().listIcon));

    // With the local list active, a click on a file that is gone says so and drops it.
    p.application->parts().buttons->pressWindowButton(WindowButton::LocalListTab);
    ASSERT_TRUE(p.c().sideListCommand->text().contains(QStringLiteral("列表")));
    QFile::remove(gone);
    ASSERT_TRUE(clickIn(p.pane(qarvel::Pane::LocalList), QStringLiteral("a[href=\"open://2\"]")));
    ASSERT_TRUE(waitUntil([&] { return !p.dialogs.informed.isEmpty(); }));
    EXPECT_EQ(p.dialogs.informed.first(), QStringLiteral("提示：|") + gone + QStringLiteral("不存在!"));
    EXPECT_TRUE(
        waitUntil([&] { return !bodyText(p.pane(qarvel::Pane::LocalList)).contains(QStringLiteral("gone.mp4")); }));
    EXPECT_FALSE(readGbk(p.files().localRecords).contains(gone));
}

TEST(PlayFromTheCatalogue, AFilmThatCannotBePlayedSaysSoByName) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    QTemporaryDir films;
    const QString damaged = films.path() + QStringLiteral("/x.mp4");
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray noise(300 * 1024, '\0');
    for (char& b : noise) b = char(std::rand());
    file.write(noise);
    file.close();
    Program p(service.baseUrl(), {}, {}, nullptr, damaged);
    ASSERT_TRUE(p.started);
    const bool tray = p.window().tray().available();
    auto told = [&](const QString& text) {
        return p.c().statusText->text() == text &&
               (tray || (p.window().notice() && p.window().notice()->text().endsWith(text)));
    };
    const QString said = QStringLiteral("无法打开或解码：x.mp4");
    ASSERT_TRUE(waitUntil([&] { return told(said); })) << p.c().statusText->text().toStdString();
    QTest::qWait(2200);  // the polls that follow keep it
    EXPECT_EQ(p.c().statusText->text(), said);
    EXPECT_TRUE(readGbk(p.files().localRecords).startsWith(QStringLiteral("x.mp4|") + damaged));

    // An address the player refuses says so too.
    QString refused = QStringLiteral("gopher://example.invalid/y.mp4");
    p.application->parts().router->runCommandText(refused);
    EXPECT_TRUE(waitUntil([&] { return told(QStringLiteral("无法打开或解码：") + refused); }))
        << p.c().statusText->text().toStdString();
}

TEST(PlayFromTheCatalogue, ChannelLinkPlaysInTheTvPane) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl());
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(waitUntil(
        [&] { return p.pane(qarvel::Pane::ChannelList)->url().toString().endsWith(QStringLiteral("tv/list.htm")); }));
    ASSERT_TRUE(
        waitUntil([&] { return clickIn(p.pane(qarvel::Pane::ChannelList), QStringLiteral("a[href^=\"zvtvs://\"]")); }));
    ASSERT_TRUE(waitUntil(
        [&] { return p.pane(qarvel::Pane::LiveTv)->url().toString().contains(QStringLiteral("tv/zuvotv.htm?")); }));
    EXPECT_EQ(p.state().CurrentView, View::LiveTv);
    EXPECT_FALSE(p.c().liveTvCloseButton->isHidden());
}

TEST(PlayFromTheCatalogue, WebPlayerSeriesMovesOnAtTheEndOfAnEpisode) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl(), {{"s_bo", "2"}});
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(p.catalogueShown());
    ASSERT_TRUE(p.clickEpisode(1004, QStringLiteral("第01集")));
    ASSERT_TRUE(waitUntil(
        [&] { return p.pane(qarvel::Pane::WebPlayer)->url().toString().contains(QStringLiteral("play.htm?html5")); }));
    EXPECT_EQ(p.state().CurrentView, View::WebPlayer);
    EXPECT_FALSE(p.session().recordKey());
    EXPECT_TRUE(p.player().url().isEmpty());
    // The page ends on the sentinel; the episode list then starts episode 2 itself.
    ASSERT_TRUE(waitUntil(
        [&] { return p.pane(qarvel::Pane::EpisodeList)->url().toString().endsWith(QStringLiteral("-01")); }, 30000))
        << p.pane(qarvel::Pane::EpisodeList)->url().toString().toStdString();
    EXPECT_TRUE(waitUntil([&] {
        return p.pane(qarvel::Pane::WebPlayer)->url().toString().contains(QStringLiteral("haidi-02"));
    })) << p.pane(qarvel::Pane::WebPlayer)->url().toString().toStdString();
}

TEST(PlayFromTheCatalogue, FailingPlayRequestsSayItAndPlayNothing) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl());
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(p.catalogueShown());
    const QString failed = QStringLiteral("读取数据出错，请重试");
    const QString balloon = QStringLiteral("读取数据出错，请返回重试！");
    // Without a tray the balloon shows as a notice in the window, beside the status.
    const bool tray = p.window().tray().available();
    auto noticeSays = [&](const QString& text) {
        return tray ||
               (p.window().notice() && p.window().notice()->isVisible() && p.window().notice()->text().endsWith(text));
    };
    struct Case {
        const char* name;
        svc::Fault fault;
        bool statusToo;  // "1", "0" and failures set the status text; an unusable answer only the balloon
    };
    // While nothing plays, the status poll writes the ready text every second;
    // it is held here so that the failure's own text can be read on a slow
    // machine too (the click's script answer may come back after a poll).
    p.c().statusPollTimer->stop();
    const Case cases[] = {{"zero", svc::Fault::zero(), true},
                          {"one", svc::Fault::one(), true},
                          {"500", svc::Fault::errorStatus(500), true},
                          {"garbage", svc::Fault::garbage(), false},
                          {"cut", svc::Fault::closed(), true}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        ASSERT_TRUE(service.setFault(ep::kPlayRequest, k.fault));
        p.session().nextNotAsked();
        p.c().statusText->setText(QString());
        if (p.window().notice()) p.window().notice()->hide();
        ASSERT_TRUE(p.clickEpisode(1002, QStringLiteral("第01集")));
        // An unusable answer leaves the status as it was: it only must not say the request failed.
        const auto statusRight = [&] { return (p.c().statusText->text() == failed) == k.statusToo; };
        EXPECT_TRUE(waitUntil([&] { return statusRight() && noticeSays(balloon); }))
            << p.c().statusText->text().toStdString();
        EXPECT_EQ(p.session().next(),
                  k.statusToo ? qarvel::playback::NextEpisode::Last : qarvel::playback::NextEpisode::NotAsked);
        EXPECT_TRUE(p.player().url().isEmpty());
    }
    EXPECT_FALSE(readGbk(p.files().networkRecords).contains(QStringLiteral("1002|")));

    // A slow answer: the window goes on answering while it waits, then plays.
    ASSERT_TRUE(service.setFault(ep::kPlayRequest, svc::Fault::delay(3000)));
    QElapsedTimer clock;
    qint64 longestStall = 0, last = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] {
        longestStall = std::max(longestStall, clock.elapsed() - last);
        last = clock.elapsed();
    });
    clock.start();
    beat.start(10);
    ASSERT_TRUE(p.clickEpisode(1002, QStringLiteral("第01集")));
    EXPECT_EQ(p.c().statusText->text(), QStringLiteral("正在搜索资源，请稍后"));
    ASSERT_TRUE(waitUntil([&] { return p.playing(); }));
    EXPECT_GT(clock.elapsed(), 2500);
    EXPECT_LT(longestStall, 1500) << "the window froze while the service answered";

    // The service gone: the same failure.
    service.stop();
    p.player().stop();
    p.c().statusPollTimer->stop();
    if (p.window().notice()) p.window().notice()->hide();
    ASSERT_TRUE(p.clickEpisode(1002, QStringLiteral("第02集")));
    EXPECT_TRUE(waitUntil([&] { return p.c().statusText->text() == failed && noticeSays(balloon); }));
    EXPECT_EQ(p.session().next(), qarvel::playback::NextEpisode::Last);
}

TEST(PlayFromTheCatalogue, WhileAFilmPlaysThePanesOutOfSightAreHiddenToTheirPages) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl(), {{"s_h", "1"}});
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(p.catalogueShown());
    ASSERT_TRUE(p.clickEpisode(1001, QStringLiteral("第01集")));
    ASSERT_TRUE(waitUntil([&] { return p.playing(); }));
    // A hidden page draws nothing and its timers slow down: only what the viewer sees renders.
    int shown = 0;
    for (int n = 1; n <= qarvel::kPaneCount; ++n) {
        const bool visible = p.pane(n)->isVisible();
        shown += visible;
        EXPECT_EQ(runScript(p.pane(n), QStringLiteral("document.visibilityState")).toString(),
                  visible ? QStringLiteral("visible") : QStringLiteral("hidden"))
            << "pane " << n;
    }
    EXPECT_LE(shown, 2);
}
