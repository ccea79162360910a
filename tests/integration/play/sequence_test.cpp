// Playback that carries on by itself, in the real program on the demo
// service: a series moves on to its next episode, buffered ahead; a stopped
// film resumes where it was after a restart; a failing next-episode request
// never stops the film that plays.
#include "program_harness.h"

#include "playback/stop_command.h"

using namespace playtest;

namespace {

// "seed/HASH/NAME" of a "qvod://SIZE|HASH|NAME|" address: how the service sees it.
std::string seedPath(const QString& address) {
    const QStringList parts = address.split(u'|');
    return parts.size() < 3 ? std::string() : ("seed/" + parts[1] + u'/' + parts[2]).toStdString();
}

}  // namespace

TEST(CarryOn, NextEpisodeIsBufferedAndStartsByItself) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl(), {{"s_h", "2"}, {"s_bo", "2"}, {"s_pao", "2"}});
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(p.catalogueShown());
    ASSERT_TRUE(p.clickEpisode(1002, QStringLiteral("第01集")));
    ASSERT_TRUE(waitUntil([&] { return p.playing(); }));
    const QString first = p.player().url();
    EXPECT_TRUE(p.session().episode()->text().startsWith("1002-0-0-"));

    // The following episode is found and buffered while the first plays.
    ASSERT_TRUE(waitUntil([&] { return p.session().nextBuffered(); }));
    const QString next = p.session().nextAddress();
    ASSERT_TRUE(next.startsWith("qvod://")) << next.toStdString();
    bool readAhead = false;
    waitUntil([&] {
        readAhead = readAhead || (service.requestCount(seedPath(next)) > 0 && p.player().url() == first);
        return readAhead || p.player().url() != first;
    });
    EXPECT_TRUE(readAhead) << seedPath(next);

    // At the end the second episode starts by itself.
    ASSERT_TRUE(waitUntil([&] { return p.player().url() == next && p.playing(); }, 30000));
    EXPECT_TRUE(p.session().episode()->text().startsWith("1002-0-1-"));
    EXPECT_TRUE(p.c().filmTitle->text().endsWith(QStringLiteral("第02集")));
    EXPECT_TRUE(p.c().statusPollTimer->isActive());
    EXPECT_EQ(p.power.calls, 0);
}

TEST(CarryOn, StoppedFilmResumesAfterARestart) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    QTemporaryDir folder;
    {
        Program p(service.baseUrl(), {}, folder.path());
        ASSERT_TRUE(p.started);
        ASSERT_TRUE(p.catalogueShown());
        ASSERT_TRUE(p.clickEpisode(1003, QStringLiteral("正片")));
        ASSERT_TRUE(waitUntil([&] { return p.playing() && p.session().positionReached() >= 20; }, 40000));
        p.application->parts().stop->stop();
        EXPECT_TRUE(readGbk(p.files().networkRecords).startsWith("1003|"));
    }
    const QString line = readGbk(qarvel::ProgramFiles::inFolder(folder.path()).networkRecords).section("\r\n", 0, 0);
    const int stored = line.section(u'|', 6, 6).toInt();
    EXPECT_GE(stored, 20) << line.toStdString();

    Program again(service.baseUrl(), {}, folder.path());
    ASSERT_TRUE(again.started);
    ASSERT_TRUE(
        waitUntil([&] { return clickIn(again.pane(qarvel::Pane::TaskList), QStringLiteral("a[href^=\"open://\"]")); }));
    ASSERT_TRUE(waitUntil([&] { return again.playing() && again.session().resumeDone(); }));
    EXPECT_GE(again.player().position(), stored - 1);
    EXPECT_LT(again.player().position(), stored + 5);
}

TEST(CarryOn, FailingNextEpisodeRequestsNeverStopTheFilm) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl(), {{"s_h", "2"}, {"s_bo", "1"}});
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(p.catalogueShown());
    ASSERT_TRUE(p.clickEpisode(1003, QStringLiteral("正片")));
    ASSERT_TRUE(waitUntil([&] { return p.playing(); }));
    const QString film = p.player().url();
    // "0" last: after it the same episode is asked again only 100 s later.
    const svc::Fault faults[] = {svc::Fault::errorStatus(500), svc::Fault::garbage(), svc::Fault::one(),
                                 svc::Fault::zero()};
    for (const svc::Fault& fault : faults) {
        ASSERT_TRUE(service.setFault(ep::kPlayRequest, fault));
        const int asked = service.requestCount(ep::kPlayRequest);
        p.session().nextNotAsked();
        p.session().setNextBuffered(false);
        ASSERT_TRUE(waitUntil([&] { return service.requestCount(ep::kPlayRequest) > asked; }, 5000));
        // The window keeps answering: a tick of the event loop is short.
        QElapsedTimer t;
        t.start();
        QTest::qWait(50);
        EXPECT_LT(t.elapsed(), 1000);
        EXPECT_EQ(p.player().url(), film);
        EXPECT_TRUE(p.playing() || p.session().positionReached() > 0);
    }
    service.stop();
    p.session().nextNotAsked();
    p.session().setNextBuffered(false);
    QTest::qWait(1500);
    EXPECT_EQ(p.player().url(), film);
}
