// The poll with the fake player and real record files: what the bar shows in
// each state, the resume step, the buffer-next threshold, the end test, the
// end of play and the retry timer. A timer tick is a method call.
#include "common/program_files.h"
#include "fakes/fake_player.h"
#include "platform/power_off.h"
#include "playback/play_session.h"
#include "playback/status_poll.h"
#include "playback/stop_command.h"
#include "records/record_store.h"
#include "state/main_window_state.h"
#include "support/widgets_environment.h"
#include "records/record_test_support.h"

#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace qarvel::playback {
namespace {

[[maybe_unused]] ::testing::Environment* const kWidgets =
    ::testing::AddGlobalTestEnvironment(new qarvel::test::WidgetsEnvironment);

using engine::PlayState;
using records::RecordFile;

struct FakePower final : platform::PowerOff {
    int calls = 0;
    void ShutDownComputer() override { ++calls; }
};

const QString kLink = QStringLiteral("zvqvod://qvod&&&qvod%3A//b&&&T&&&N&&&7&&&0&&&3");

struct PollRig {
    PollRig()
        : pages(ProgramFiles::inFolder(folder.path())),
          store(pages),
          poll(state, session, controls(),
               PollServices{
                   .player = player,
                   .records = store,
                   .statusPollTimer = statusPollTimer,
                   .endOfPlayTimer = endOfPlayTimer,
                   .retryNextEpisodeTimer = retryNextEpisodeTimer,
                   .power = power,
                   .readSetting = [this](const QString& section, const QString& key,
                                         const QString& def) { return settings.value(section + u'/' + key, def); },
                   .showBalloon = [this](const QString& text) { balloons << text; },
                   .paintPlayFace = [this](bool pause) { faces << (pause ? "pause" : "play"); },
                   .FetchNextEpisode = [this] { ++fetches; },
                   .navigateWeb2 = [this](const QString& address) { web2 << address; },
                   .clockText = [] { return QStringLiteral("21:07"); }},
               QStringLiteral("http://end.invalid/")) {
        playerArea.resize(600, 400);
        seekBar.resize(500, 6);
        seekKnob.resize(20, 6);
        downloadedBar.setGeometry(0, 0, 0, 6);
        for (QWidget* w : {&adArea, &pauseAdFrame, &stopAdFrame, &videoFrame, &nextEpisodeNotice}) w->hide();
        statusPollTimer.start(1000);
        player.setUrl(QStringLiteral("qvod://film"));
        player.clearCalls();
        settings["S_q/s_pao"] = "2";
    }
    PollControls controls() {
        return {&statusText,    &timeText, &playerArea,   &playButton,  &seekBar,    &seekKnob,         &playedBar,
                &downloadedBar, &adArea,   &pauseAdFrame, &stopAdFrame, &videoFrame, &nextEpisodeNotice};
    }
    void film(PlayState s, int position, int duration, int progress = 1000) {
        player.setState(s);
        player.setPositionValue(position);
        player.setDurationValue(duration);
        player.setDownloadProgressValue(progress);
    }
    // A network task (id 7) or local file record holding position.
    void recordAt(int kind, int position) {
        if (kind == 1) {
            session.startNetworkEpisode({7, 0, 2, QStringLiteral("T")}, 0);
            folder.put("date.dat", QStringLiteral("7|T|N|qvod%3A//a|0|2|%1\r\n").arg(position).toLatin1());
        } else {
            session.startLocalFile(QStringLiteral("/films/a.mp4"), 0);
            folder.put("date_f.dat", QStringLiteral("a.mp4|/films/a.mp4|%1\r\n").arg(position).toLatin1());
        }
    }
    QString storedPosition() const {
        const QString line = store.ReadRecordLine(
            session.recordKind() == RecordKind::NetworkItem ? RecordFile::Network : RecordFile::Local, 1);
        return line.section(u'|', -1);
    }

    records::test::ProgramFolder folder;
    MainWindowState state;
    PlaySession session;
    fakes::FakePlayer player;
    records::ListPageWriter pages;
    records::RecordStore store;
    QTimer statusPollTimer, endOfPlayTimer, retryNextEpisodeTimer;
    FakePower power;
    QLabel statusText, timeText;
    QWidget playerArea, playButton, seekBar, seekKnob, playedBar, downloadedBar, adArea, pauseAdFrame, stopAdFrame,
        videoFrame, nextEpisodeNotice;
    QHash<QString, QString> settings;
    QStringList balloons, faces, web2;
    int fetches = 0;
    StatusPoll poll;
};

TEST(PollBar, NothingLoadedShowsTheClockAndReady) {
    PollRig rig;
    rig.player.setUrl(QString());
    rig.player.clearCalls();
    rig.downloadedBar.move(0, 0);
    rig.poll.pollPlayerStatus();
    EXPECT_EQ(rig.statusText.text(), "准备就绪");
    EXPECT_EQ(rig.playButton.toolTip(), "播放");
    EXPECT_EQ(rig.timeText.text(), "21:07");
    EXPECT_EQ(rig.timeText.pos(), QPoint(600 - rig.timeText.width() - 13, 2));
    EXPECT_EQ(rig.downloadedBar.x(), -30);
    EXPECT_TRUE(rig.player.calls().isEmpty());
}

TEST(PollBar, StatusTextByState) {
    struct Case {
        PlayState state;
        int rate;
        int position;
        const char* text;
    };
    const Case cases[] = {
        {PlayState::Idle, 0, 10, "停止播放"},
        {PlayState::Stopped, 0, 10, "已停止"},
        {PlayState::Paused, 12, 10, "已暂停 (12Kbps/S)"},
        {PlayState::Paused, 0, 10, "已暂停"},
        {PlayState::Playing, 35, 10, "播放中(35 Kbps/S)"},
        // In the first six seconds the bit rate shows even with a transfer rate.
        {PlayState::Playing, 35, 6, "播放中(800 Kbps)"},
        {PlayState::Playing, 0, 10, "播放中(800 Kbps)"},
        {PlayState::Buffering, 7, 10, "正在缓冲 (7Kbps/S)"},
        {PlayState::Waiting, 0, 10, "等待中"},
        {PlayState::PlayEnded, 0, 10, "播放结束"},
        {PlayState::PreparingToRead, 0, 10, "准备读"},
        {PlayState::Reconnecting, 0, 10, "重连中"},
        {PlayState::DownloadingSeed, 0, 10, "BT种子下载中"},
        {PlayState::Connecting, 3, 10, "正在连接 (3KB/S)"},
        {PlayState::Stopping, 0, 10, "正在停止"},
    };
    for (const Case& k : cases) {
        PollRig rig;
        rig.film(k.state, k.position, 100);
        rig.player.setTransferRateValue(k.rate);
        rig.player.setBitRateValue(800);
        rig.poll.pollPlayerStatus();
        EXPECT_EQ(rig.statusText.text(), QString::fromUtf8(k.text)) << int(k.state);
        EXPECT_EQ(rig.state.PlayStateCache, int(k.state));
        EXPECT_EQ(rig.state.TransferRateCache, k.rate);
    }
    // An unknown code leaves the text as it was.
    PollRig rig;
    rig.statusText.setText("x");
    rig.film(PlayState(42), 10, 100);
    rig.poll.pollPlayerStatus();
    EXPECT_EQ(rig.statusText.text(), "x");
}

TEST(PollBar, PlayButtonFollowsPlayAndPause) {
    PollRig rig;
    rig.playButton.setToolTip("播放");
    rig.adArea.show();
    rig.nextEpisodeNotice.show();
    rig.film(PlayState::Playing, 10, 100);
    rig.poll.pollPlayerStatus();
    EXPECT_EQ(rig.playButton.toolTip(), "暂停");
    EXPECT_TRUE(rig.adArea.isHidden());
    EXPECT_FALSE(rig.videoFrame.isHidden());
    EXPECT_TRUE(rig.nextEpisodeNotice.isHidden());
    rig.poll.pollPlayerStatus();
    EXPECT_EQ(rig.faces, QStringList({"pause"}));  // drawn once, not every second

    rig.state.PauseAdState = 2;
    rig.film(PlayState::Paused, 10, 100);
    rig.poll.pollPlayerStatus();
    EXPECT_EQ(rig.playButton.toolTip(), "播放");
    EXPECT_EQ(rig.faces, QStringList({"pause", "play"}));
    EXPECT_FALSE(rig.pauseAdFrame.isHidden());
    EXPECT_TRUE(rig.stopAdFrame.isHidden());
    EXPECT_FALSE(rig.adArea.isHidden());
    EXPECT_TRUE(rig.videoFrame.isHidden());

    rig.state.StopAdState = 2;
    rig.film(PlayState::Stopped, 10, 100);
    rig.poll.pollPlayerStatus();
    EXPECT_TRUE(rig.pauseAdFrame.isHidden());
    EXPECT_FALSE(rig.stopAdFrame.isHidden());
}

TEST(PollBar, TimeSeekAndDownloadBars) {
    PollRig rig;
    rig.film(PlayState::Playing, 309, 3723, 500);
    rig.poll.pollPlayerStatus();
    EXPECT_EQ(rig.timeText.text(), "05:09 / 1:02:03");
    EXPECT_EQ(rig.timeText.pos(), QPoint(600 - rig.timeText.width() - 13, 2));
    const int left = qRound(309.0 / 3723 * (500 - 20));
    EXPECT_EQ(rig.seekKnob.x(), left);
    EXPECT_EQ(rig.playedBar.width(), left);
    EXPECT_EQ(rig.seekKnob.toolTip(), "05:09");
    EXPECT_EQ(rig.downloadedBar.geometry(), QRect(0, 0, 250, 6));

    rig.film(PlayState::Connecting, 0, 0, 0);
    rig.poll.pollPlayerStatus();
    EXPECT_EQ(rig.seekKnob.x(), 0);
    EXPECT_EQ(rig.downloadedBar.x(), -30);
    EXPECT_EQ(rig.downloadedBar.width(), 0);
}

TEST(PollResume, NetworkFilmsSeekOnlyAsFarAsHasArrived) {
    struct Case {
        int kind;
        int progress;
        QString expected;  // the seek, or empty for none
    };
    // Stored at 3000 s of a 100-minute film.
    for (const Case& k : {Case{1, 400, "setPosition 2350"}, Case{1, 20, ""}, Case{1, 600, "setPosition 3000"},
                          Case{2, 20, "setPosition 3000"}}) {
        PollRig rig;
        rig.recordAt(k.kind, 3000);
        rig.session.setResumePosition(3000);
        rig.film(PlayState::Playing, 1, 6000, k.progress);
        rig.poll.pollPlayerStatus();
        EXPECT_EQ(rig.player.calls().filter("setPosition").join(""), k.expected) << k.kind << " " << k.progress;
        EXPECT_TRUE(rig.session.resumeDone());
        // Once per film.
        rig.player.clearCalls();
        rig.poll.pollPlayerStatus();
        EXPECT_TRUE(rig.player.calls().filter("setPosition").isEmpty());
    }
}

TEST(PollResume, NotBeforePlayingAndNotBackwards) {
    PollRig rig;
    rig.session.startLocalFile(QStringLiteral("/films/a.mp4"), 30);
    rig.film(PlayState::Buffering, 0, 100);
    rig.poll.pollPlayerStatus();
    EXPECT_FALSE(rig.session.resumeDone());
    rig.film(PlayState::Playing, 40, 100);
    rig.poll.pollPlayerStatus();
    EXPECT_TRUE(rig.session.resumeDone());
    EXPECT_TRUE(rig.player.calls().isEmpty());
    EXPECT_EQ(rig.session.resumePosition(), 40);
}

TEST(PollBufferNext, StartsPastSixtyPointOnePercent) {
    PollRig rig;
    rig.session.startNetworkEpisode({7, 0, 2, QStringLiteral("T")}, 0);
    rig.film(PlayState::Playing, 10, 100, 601);
    rig.poll.pollPlayerStatus();
    EXPECT_EQ(rig.fetches, 0);
    rig.player.setDownloadProgressValue(602);
    rig.poll.pollPlayerStatus();
    EXPECT_EQ(rig.fetches, 1);

    // Found: buffered on the next poll, once, with its balloon.
    rig.session.nextAvailable(kLink, QStringLiteral("qvod://next"));
    rig.poll.pollPlayerStatus();
    rig.poll.pollPlayerStatus();
    EXPECT_EQ(rig.player.calls().filter("preloadNext"), QStringList({"preloadNext qvod://next"}));
    EXPECT_TRUE(rig.session.nextBuffered());
    EXPECT_EQ(rig.balloons, QStringList({"开始缓冲下一集！"}));
    EXPECT_EQ(rig.fetches, 1);
}

TEST(PollBufferNext, NothingFollowsOrBalloonsOff) {
    PollRig rig;
    rig.session.nextLast();
    rig.film(PlayState::Playing, 10, 100, 1000);
    rig.poll.pollPlayerStatus();
    EXPECT_EQ(rig.fetches, 0);
    EXPECT_TRUE(rig.player.calls().isEmpty());

    rig.settings["S_q/s_pao"] = "1";
    rig.session.nextAvailable(kLink, QStringLiteral("qvod://next"));
    rig.poll.pollPlayerStatus();
    EXPECT_EQ(rig.player.preloaded(), "qvod://next");
    EXPECT_TRUE(rig.balloons.isEmpty());
}

TEST(PollEnd, FiresOnlyPastTheLastTwoSecondsWithAPosition) {
    PollRig rig;
    rig.recordAt(1, 50);
    rig.film(PlayState::Playing, 98, 100);
    rig.poll.pollPlayerStatus();
    EXPECT_FALSE(rig.endOfPlayTimer.isActive());
    EXPECT_EQ(rig.storedPosition(), "50");

    rig.film(PlayState::Playing, 99, 100);
    rig.poll.pollPlayerStatus();
    EXPECT_TRUE(rig.endOfPlayTimer.isActive());
    EXPECT_EQ(rig.storedPosition(), "0");

    // Nothing known yet: position 0 past a duration of 0 is no end.
    PollRig fresh;
    fresh.film(PlayState::Connecting, 0, 0, 0);
    fresh.poll.pollPlayerStatus();
    EXPECT_FALSE(fresh.endOfPlayTimer.isActive());
}

TEST(PollEnd, BalloonsAndTheRestOfThePollFollowTheSetting) {
    PollRig rig;
    rig.session.nextAvailable(kLink, QString());  // not to be buffered here
    rig.film(PlayState::Playing, 99, 100);
    rig.poll.pollPlayerStatus();
    EXPECT_EQ(rig.balloons, QStringList({"正在准备播放下一集！"}));
    EXPECT_EQ(rig.timeText.text(), "01:39 / 01:40");

    rig.state.ShutDownAfterPlay = true;
    rig.poll.pollPlayerStatus();
    EXPECT_EQ(rig.balloons.last(), "即将播放完毕，正准备自动关机！");

    // Balloons off: the poll ends at the end test.
    PollRig quiet;
    quiet.settings["S_q/s_pao"] = "1";
    quiet.film(PlayState::Playing, 99, 100);
    quiet.poll.pollPlayerStatus();
    EXPECT_TRUE(quiet.endOfPlayTimer.isActive());
    EXPECT_EQ(quiet.state.BalloonSetting, "1");
    EXPECT_TRUE(quiet.timeText.text().isEmpty());
    EXPECT_TRUE(quiet.balloons.isEmpty());
}

TEST(PollEndOfPlay, HandsOverShutsDownOrStays) {
    {
        PollRig rig;
        rig.session.nextAvailable(kLink, QStringLiteral("qvod://b"));
        rig.endOfPlayTimer.start(2000);
        rig.poll.finishPlayback();
        EXPECT_FALSE(rig.endOfPlayTimer.isActive());
        EXPECT_FALSE(rig.statusPollTimer.isActive());
        EXPECT_FALSE(rig.nextEpisodeNotice.isHidden());
        EXPECT_FALSE(rig.adArea.isHidden());
        EXPECT_TRUE(rig.videoFrame.isHidden());
        EXPECT_EQ(rig.statusText.text(), "播放完毕");
        EXPECT_EQ(rig.web2, QStringList({"http://end.invalid/"}));
        EXPECT_EQ(rig.session.resumePosition(), 1);
        EXPECT_EQ(rig.session.positionReached(), 1);
        EXPECT_EQ(rig.power.calls, 0);
    }
    {
        // The last request failed: the hand-over still goes through the sentinel.
        PollRig rig;
        rig.session.nextFailed();
        rig.poll.finishPlayback();
        EXPECT_TRUE(rig.statusPollTimer.isActive());
        EXPECT_TRUE(rig.nextEpisodeNotice.isHidden());
        EXPECT_EQ(rig.web2.size(), 1);
    }
    for (const NextEpisode next :
         {NextEpisode::Last, NextEpisode::NotAsked, NextEpisode::NotYet, NextEpisode::Unknown}) {
        PollRig rig;
        if (next == NextEpisode::Last) rig.session.nextLast();
        if (next == NextEpisode::NotAsked) rig.session.nextNotAsked();
        if (next == NextEpisode::NotYet) rig.session.nextNotYet();
        rig.poll.finishPlayback();
        EXPECT_TRUE(rig.statusPollTimer.isActive());
        EXPECT_TRUE(rig.web2.isEmpty()) << int(next);
    }
    {
        PollRig rig;
        rig.state.ShutDownAfterPlay = true;
        rig.session.nextAvailable(kLink, QStringLiteral("qvod://b"));
        rig.session.setPositionReached(99);
        rig.poll.finishPlayback();
        EXPECT_EQ(rig.power.calls, 1);
        EXPECT_FALSE(rig.statusPollTimer.isActive());
        EXPECT_TRUE(rig.web2.isEmpty());
        EXPECT_EQ(rig.session.positionReached(), 99);
    }
}

TEST(PollRetry, AsksAgainOnTheSecondTick) {
    PollRig rig;
    rig.session.nextFailed();
    rig.retryNextEpisodeTimer.start(50000);
    rig.poll.retryNextEpisode();
    EXPECT_EQ(rig.fetches, 0);
    EXPECT_TRUE(rig.retryNextEpisodeTimer.isActive());
    rig.poll.retryNextEpisode();
    EXPECT_EQ(rig.fetches, 1);
    EXPECT_FALSE(rig.retryNextEpisodeTimer.isActive());
    EXPECT_FALSE(rig.session.nextBuffered());
    // The next failure waits two ticks again.
    rig.session.nextFailed();
    rig.poll.retryNextEpisode();
    EXPECT_EQ(rig.fetches, 1);
}

TEST(PollPositions, KeptEveryThirtySecondsAndAtTheEndOfTheSession) {
    PollRig rig;
    rig.recordAt(1, 0);
    for (int s = 1; s < kPositionSaveTicks; ++s) {
        rig.film(PlayState::Playing, s, 600);
        rig.poll.pollPlayerStatus();
    }
    EXPECT_EQ(rig.storedPosition(), "0");
    rig.film(PlayState::Playing, 30, 600);
    rig.poll.pollPlayerStatus();
    EXPECT_EQ(rig.storedPosition(), "30");

    rig.film(PlayState::Playing, 41, 600);
    rig.poll.pollPlayerStatus();
    rig.poll.storePosition();
    EXPECT_EQ(rig.storedPosition(), "41");

    // At the end the record holds 0, and the end of the session keeps it.
    rig.film(PlayState::Playing, 599, 600);
    rig.poll.pollPlayerStatus();
    rig.poll.storePosition();
    EXPECT_EQ(rig.storedPosition(), "0");

    // A film without a record writes nothing.
    PollRig none;
    none.film(PlayState::Playing, 20, 600);
    none.poll.pollPlayerStatus();
    none.poll.storePosition();
    EXPECT_TRUE(none.folder.read("date.dat").isEmpty());
}

}  // namespace
}  // namespace qarvel::playback
