// Episode sequencing against a loopback service: each answer form of the
// next-episode request, the retry schedule with the poll's retry timer, how
// often "no next episode yet" is asked again, one
// request on its way at most, and stepping to the previous or next episode.
#include "common/escape_text.h"
#include "link_router_rig.h"
#include "platform/power_off.h"
#include "support/wait_until.h"
#include "playback/play_session.h"
#include "playback/status_poll.h"
#include "web/episode_sequencer.h"

#include <QTest>
#include <gtest/gtest.h>

namespace qarvel::web::test {
namespace {

using playback::EpisodeKey;
using playback::NextEpisode;

const EpisodeKey kKey{7, 0, 2, QStringLiteral("%u7535%u5F71")};

struct SequencerRig {
    explicit SequencerRig(const QString& base = {})
        : router(base),
          sequencer(router.session,
                    SequencerServices{router.fetcher, router.nav, retryNextEpisodeTimer,
                                      [this](const QString& s, const QString& k, const QString& d) {
                                          return router.settings.value(s + u'/' + k, d);
                                      },
                                      [this](const QString& text) { router.balloons << text; }, [this] { return now; }},
                    router.base) {
        router.settings["S_q/s_h"] = "2";
        router.session.startNetworkEpisode(kKey, 0);
    }
    // Runs the request and waits for its answer.
    void fetch() {
        sequencer.FetchNextEpisode();
        EXPECT_TRUE(qarvel::test::waitUntil([&] { return !sequencer.nextRequestPending(); }, 8000));
    }
    int queries() const { return int(router.service.queries().size()); }

    RouterRig router;
    QTimer retryNextEpisodeTimer;
    qint64 now = 0;  // the sequencer's clock, ms
    EpisodeSequencer sequencer;
};

TEST(NextEpisode, AnswerForms) {
    SequencerRig rig;
    rig.router.service.answer("7", QStringLiteral("第4集$qvod://9|cd|d.mp4|$qvod$extra"));
    rig.fetch();
    EXPECT_EQ(rig.router.service.queries(), std::vector<std::string>({"/box/h.asp?id=7&v=0&v1=3"}));
    EXPECT_EQ(rig.router.session.next(), NextEpisode::Available);
    EXPECT_EQ(rig.router.session.nextAddress(), "qvod://9|cd|d.mp4|");
    EXPECT_EQ(rig.router.session.nextLink(),
              "zvqvod://qvod&&&" + EscapeText("qvod://9|cd|d.mp4|") + "&&&%u7535%u5F71&&&第4集&&&7&&&0&&&3");
    EXPECT_FALSE(rig.router.session.nextBuffered());
    EXPECT_TRUE(rig.router.balloons.isEmpty());

    for (const auto& [code, next] :
         {std::pair{QStringLiteral("1"), NextEpisode::Last}, std::pair{QStringLiteral("0"), NextEpisode::NotYet}}) {
        rig.router.service.answer("7", code);
        rig.fetch();
        EXPECT_EQ(rig.router.session.next(), next);
        EXPECT_TRUE(rig.router.session.nextAddress().isEmpty());
        EXPECT_TRUE(rig.router.balloons.isEmpty());
        EXPECT_FALSE(rig.retryNextEpisodeTimer.isActive());
    }
}

TEST(NextEpisode, FailuresRetryLaterAndSayItWhateverTheBalloonSetting) {
    // Garbage, an empty answer, a zero that is not the text "0", and no service at all.
    const QString failures[] = {QStringLiteral("<html>oops"), QString(), QStringLiteral("00")};
    for (const QString& answer : failures) {
        SequencerRig rig;
        rig.router.settings["S_q/s_pao"] = "1";
        rig.router.service.answer("7", answer);
        rig.fetch();
        EXPECT_EQ(rig.router.session.next(), NextEpisode::Failed) << answer.toStdString();
        EXPECT_TRUE(rig.router.session.nextAddress().isEmpty());
        EXPECT_TRUE(rig.router.session.nextBuffered());
        EXPECT_TRUE(rig.retryNextEpisodeTimer.isActive());
        EXPECT_EQ(rig.router.balloons, QStringList({"读取下一集数据出错，稍后将重新读取！"}));
    }
    SequencerRig down(QStringLiteral("http://127.0.0.1:1/box/"));
    down.fetch();
    EXPECT_EQ(down.router.session.next(), NextEpisode::Failed);
    EXPECT_TRUE(down.retryNextEpisodeTimer.isActive());
}

// The sequencer behind the status poll, as the window wires them, with a
// network film playing of which 70 % has arrived.
struct PolledRig : SequencerRig {
    explicit PolledRig(int duration)
        : poll(router.state, router.session, {},
               playback::PollServices{.player = router.player,
                                      .records = router.store,
                                      .statusPollTimer = router.statusPollTimer,
                                      .endOfPlayTimer = endOfPlayTimer,
                                      .retryNextEpisodeTimer = retryNextEpisodeTimer,
                                      .power = power,
                                      .FetchNextEpisode = [this] { sequencer.FetchNextEpisode(); },
                                      .filmMoved = [this] { sequencer.askAgainAtOnce(); }},
               {}) {
        router.player.setUrl("qvod://a");
        router.player.setState(engine::PlayState::Playing);
        router.player.setDurationValue(duration);
        router.player.setDownloadProgressValue(700);
    }
    // A poll at this position, and the answer of the request it started.
    void tick(int position) {
        router.player.setPositionValue(position);
        poll.pollPlayerStatus();
        waitForAnswer();
    }
    void waitForAnswer() {
        qarvel::test::waitUntil([&] { return !sequencer.nextRequestPending(); }, 8000);
    }

    struct NoPower final : platform::PowerOff {
        void ShutDownComputer() override { ADD_FAILURE(); }
    } power;
    QTimer endOfPlayTimer;
    playback::StatusPoll poll;
};

TEST(NextEpisode, RetryScheduleWithThePoll) {
    PolledRig rig(600);
    rig.router.service.answer("7", QStringLiteral("garbage"));
    rig.tick(10);
    EXPECT_EQ(rig.queries(), 1);
    EXPECT_EQ(rig.router.session.next(), NextEpisode::Failed);
    // The failure blocks further requests until the retry timer's second tick.
    rig.tick(11);
    rig.tick(12);
    EXPECT_EQ(rig.queries(), 1);
    rig.poll.retryNextEpisode();
    EXPECT_EQ(rig.queries(), 1);
    rig.router.service.answer("7", QStringLiteral("第4集$qvod://next$qvod"));
    rig.poll.retryNextEpisode();
    rig.waitForAnswer();
    EXPECT_EQ(rig.queries(), 2);
    EXPECT_FALSE(rig.retryNextEpisodeTimer.isActive());
    // Found: the next poll buffers it.
    rig.tick(13);
    EXPECT_EQ(rig.router.player.preloaded(), "qvod://next");
    EXPECT_EQ(rig.queries(), 2);
}

TEST(NextEpisode, NoNextEpisodeYetIsAskedAgainEvery100sOfFilmOrAtOnceAfterASeek) {
    PolledRig rig(2800);
    rig.router.service.answer("7", QStringLiteral("0"));
    // 45 minutes of film, a poll a second: asked at 0 s, 100 s, ... 2600 s.
    for (int second = 0; second < 2700; ++second, rig.now += 1000) rig.tick(second);
    EXPECT_EQ(rig.queries(), 27);
    // A seek asks at once, and so does another film.
    rig.tick(1200);
    EXPECT_EQ(rig.queries(), 28);
    rig.tick(1201);
    EXPECT_EQ(rig.queries(), 28);
    rig.router.session.startNetworkEpisode({7, 0, 3, QStringLiteral("T")}, 0);
    rig.tick(1202);
    EXPECT_EQ(rig.queries(), 29);
    EXPECT_FALSE(rig.retryNextEpisodeTimer.isActive());
}

TEST(NextEpisode, OneRequestOnItsWayAndStaleAnswersDropped) {
    SequencerRig rig;
    rig.router.service.answer("7", QStringLiteral("A$qvod://b$qvod"));
    rig.router.service.slow("7", 600);
    rig.sequencer.FetchNextEpisode();
    rig.sequencer.FetchNextEpisode();
    rig.sequencer.FetchNextEpisode();
    // Another film starts while the answer is on its way.
    rig.router.session.startNetworkEpisode({8, 0, 0, QStringLiteral("x")}, 0);
    QTest::qWait(1500);
    EXPECT_EQ(rig.queries(), 1);
    EXPECT_EQ(rig.router.session.next(), NextEpisode::NotAsked);
}

TEST(NextEpisode, NothingAskedWhenSwitchedOffOrNoEpisode) {
    SequencerRig rig;
    rig.router.settings["S_q/s_h"] = "1";
    rig.router.session.nextAvailable(QStringLiteral("x"), QStringLiteral("qvod://x"));
    rig.sequencer.FetchNextEpisode();
    EXPECT_EQ(rig.router.session.next(), NextEpisode::NotAsked);
    rig.router.settings["S_q/s_h"] = "2";
    rig.router.session.startLocalFile(QStringLiteral("/films/a.mp4"), 0);  // no episode
    rig.sequencer.FetchNextEpisode();
    rig.sequencer.StepEpisode(2);
    EXPECT_FALSE(rig.sequencer.nextRequestPending());
    QTest::qWait(200);
    EXPECT_EQ(rig.queries(), 0);
}

TEST(StepEpisode, PreviousAndNext) {
    SequencerRig rig;
    rig.router.nav.router = nullptr;  // only the navigation itself is of interest
    rig.router.session.startNetworkEpisode({7, 0, 0, QStringLiteral("T")}, 0);
    rig.sequencer.StepEpisode(1);
    QTest::qWait(200);
    EXPECT_EQ(rig.queries(), 0);

    rig.router.service.answer("7", QStringLiteral("第2集$qvod://b$qvod$ignored"));
    rig.sequencer.StepEpisode(2);
    ASSERT_TRUE(qarvel::test::waitUntil([&] { return !rig.router.nav.log.isEmpty(); }, 8000));
    EXPECT_EQ(rig.router.service.queries().back(), "/box/h.asp?id=7&v=0&v1=1");
    EXPECT_EQ(rig.router.nav.log,
              QStringList({"1 zvqvod://qvod&&&" + EscapeText("qvod://b") + "&&&T&&&第2集&&&7&&&0&&&1&&&0"}));

    // Answers without an episode do nothing, silently.
    rig.router.session.startNetworkEpisode({7, 0, 5, QStringLiteral("T")}, 0);
    for (const QString& answer : {QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("junk")}) {
        rig.router.service.answer("7", answer);
        rig.sequencer.StepEpisode(1);
        QTest::qWait(300);
    }
    EXPECT_EQ(rig.router.service.queries().back(), "/box/h.asp?id=7&v=0&v1=4");
    EXPECT_EQ(rig.router.nav.log.size(), 1);
    EXPECT_TRUE(rig.router.balloons.isEmpty());
}

}  // namespace
}  // namespace qarvel::web::test
