// The player's controls with the fake player and real record files: the bars'
// formulas, the eight transport commands, the bars' and the picture's mouse,
// the keys and the player menu. Handlers are called as the window calls them.
#include "common/program_files.h"
#include "fakes/fake_player.h"
#include "platform/user_dialogs.h"
#include "playback/bar_formulas.h"
#include "playback/key_commands.h"
#include "playback/player_bar_mouse.h"
#include "playback/play_session.h"
#include "playback/player_menu.h"
#include "playback/stop_command.h"
#include "playback/transport_commands.h"
#include "playback/view_switcher.h"
#include "records/record_store.h"
#include "state/main_window_state.h"
#include "support/widgets_environment.h"
#include "records/record_test_support.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace qarvel::playback {
namespace {

[[maybe_unused]] ::testing::Environment* const kWidgets =
    ::testing::AddGlobalTestEnvironment(new qarvel::test::WidgetsEnvironment);

using engine::PlayState;

TEST(BarFormulas, SeekKnobAndPositionBothWays) {
    EXPECT_EQ(knobForPosition(30, 120, 480), 120);
    EXPECT_EQ(knobForPosition(120, 120, 480), 480);
    EXPECT_EQ(knobForPosition(30, 0, 480), 0);  // length unknown
    EXPECT_EQ(positionForKnob(120, 480, 120, SeekRelease::Track), 30);
    EXPECT_EQ(positionForKnob(480, 480, 120, SeekRelease::Track), 120);
    EXPECT_EQ(positionForKnob(600, 480, 120, SeekRelease::Track), 150);  // past the end: the guard's business
    EXPECT_EQ(positionForKnob(10, 0, 120, SeekRelease::Track), 0);       // no room for the knob
    // Halves go to the even second.
    EXPECT_EQ(positionForKnob(1, 4, 10, SeekRelease::Track), 2);  // 2.5
    EXPECT_EQ(positionForKnob(3, 4, 10, SeekRelease::Track), 8);  // 7.5
}

TEST(BarFormulas, TwoSecondCorrections) {
    // The knob: exact up to 2 px, two seconds earlier beyond.
    EXPECT_EQ(positionForKnob(2, 100, 100, SeekRelease::Knob), 2);
    EXPECT_EQ(positionForKnob(3, 100, 100, SeekRelease::Knob), 1);
    EXPECT_EQ(positionForKnob(50, 100, 100, SeekRelease::Knob), 48);
    // The played and downloaded parts: always earlier, also below 0.
    EXPECT_EQ(positionForKnob(1, 100, 100, SeekRelease::PlayedPart), -1);
    EXPECT_EQ(positionForKnob(50, 100, 100, SeekRelease::PlayedPart), 48);
    // The bare track: never.
    EXPECT_EQ(positionForKnob(50, 100, 100, SeekRelease::Track), 50);
}

TEST(BarFormulas, VolumeBothWaysAndClamping) {
    EXPECT_EQ(volumeForKnob(35, 70), 50);
    EXPECT_EQ(volumeForKnob(69, 70), 98);  // 98.57 truncated
    EXPECT_EQ(volumeForKnob(70, 70), 100);
    EXPECT_EQ(volumeForKnob(5, 0), 0);
    EXPECT_EQ(knobForVolume(50, 70), 35);
    EXPECT_EQ(knobForVolume(100, 70), 70);
    EXPECT_EQ(knobForVolume(0, 70), 0);
    EXPECT_EQ(volumeKnobForTrackPress(80, 70), 70);
    EXPECT_EQ(volumeKnobForTrackPress(12, 70), 12);
    EXPECT_EQ(clampKnob(-5, 70), 0);
    EXPECT_EQ(clampKnob(90, 70), 70);
    EXPECT_EQ(clampKnob(5, -3), 0);
}

TEST(TransportFaces, EachButtonsNormalAndHoverFaceFollowsItsState) {
    EXPECT_EQ(transportFace(0, false, kPlayTip), (TransportFace{12, 0, 58, 43}));
    EXPECT_EQ(transportFace(0, true, kPlayTip), (TransportFace{12, 58, 58, 43}));
    EXPECT_EQ(transportFace(0, false, QStringLiteral("暂停")), (TransportFace{12, 116, 58, 43}));
    EXPECT_EQ(transportFace(0, true, QStringLiteral("暂停")), (TransportFace{12, 174, 58, 43}));
    EXPECT_EQ(transportFace(2, false, kMuteTip), (TransportFace{14, 0}));
    EXPECT_EQ(transportFace(2, true, kUnmuteTip), (TransportFace{14, 75}));
    EXPECT_EQ(transportFace(3, true, {}), (TransportFace{17, 50}));
    EXPECT_EQ(transportFace(4, false, {}), (TransportFace{16, 25}));
    EXPECT_EQ(transportFace(6, true, {}), (TransportFace{17, 75}));
    EXPECT_EQ(transportFace(5, true, {}), (TransportFace{18, 25}));
    EXPECT_EQ(transportFace(7, false, {}), (TransportFace{18, 50}));
}

TEST(OpenFileFilter, TheProgramsFilterInQtsFormOffersWmaFilesToo) {
    const QString qt = platform::qtFileFilter(kOpenFileFilter);
    EXPECT_EQ(qt, QStringLiteral("影音文件 (*.rm *.rmvb *.wmv *.mp3 *wma *mid *wav *mpg *mp4);;所有文件 (*.*)"));
    // "*wma" (no dot) still matches a .wma file, as it always did.
    EXPECT_TRUE(QDir::match(QStringLiteral("*wma"), QStringLiteral("歌.wma")));
    EXPECT_EQ(platform::qtFileFilter(QStringLiteral("a (x)|*.a;;|b|")), QStringLiteral("a x (*.a)"));
    EXPECT_EQ(platform::qtFileFilter(QString()), QString());
}

// The player bar as plain widgets, with the real stop command, view switch,
// record files and player menu around the fake player.
struct Rig {
    Rig()
        : pages(ProgramFiles::inFolder(folder.path())),
          store(pages),
          stopCommand(state, session, player, store, statusPollTimer, stopControls()),
          views(state, stopCommand, nullptr, nullptr, {}, {}),
          transport(state, session, transportControls(), services()),
          bars(state, barControls(), player, transport, [this] { ++menus; }),
          keys(state, player, statusPollTimer, transport, bars),
          menu(playerPopupMenu, state, player, transport,
               {.leaveCompactMode = [this] { clicks << "jbi"; },
                .pressWindowButton = [this](int i) { clicks << QString::number(i); }}) {
        mainWindow.resize(800, 600);
        for (int i = 0; i < 8; ++i) {
            buttons[i].setParent(&mainWindow);
            buttons[i].setGeometry(100 + 30 * i, 550, i == 0 ? 58 : 25, i == 0 ? 43 : 25);
        }
        static const char* const kTips[8] = {"播放", "停止", "静音", "全屏", "打开文件", "上一集", "侧栏", "下一集"};
        for (int i = 0; i < 8; ++i) buttons[i].setToolTip(QString::fromUtf8(kTips[i]));
        buttonBalloon.setParent(&mainWindow);
        balloonText.setParent(&buttonBalloon);
        buttonBalloon.hide();
        seekBar.resize(500, 7);
        seekKnob.setParent(&seekBar);
        seekKnob.resize(20, 7);
        playedBar.setParent(&seekBar);
        volumeTrack.resize(80, 24);
        volumeKnob.setParent(&volumeTrack);
        volumeKnob.setGeometry(0, 7, 10, 10);
        volumeFill.setParent(&volumeTrack);
        statusPollTimer.setInterval(1000);
        state.CurrentView = View::Player;
        state.MainTab = MainTab::Player;
    }
    StopControls stopControls() {
        StopControls s;
        s.seekKnob = &seekKnob;
        s.playedBar = &playedBar;
        s.statusText = &statusText;
        s.playButton = &buttons[0];
        return s;
    }
    TransportControls transportControls() {
        TransportControls t;
        for (int i = 0; i < 8; ++i) t.transportButtons[i] = &buttons[i];
        t.mainWindow = &mainWindow;
        t.buttonBalloon = &buttonBalloon;
        t.balloonText = &balloonText;
        t.adArea = &adArea;
        t.videoFrame = &videoFrame;
        t.statusText = &statusText;
        t.filmTitle = &filmTitle;
        t.statusStrip = &statusStrip;
        t.onTopButton = &onTop;
        return t;
    }
    TransportServices services() {
        return {.player = player,
                .stop = stopCommand,
                .views = views,
                .records = store,
                .statusPollTimer = statusPollTimer,
                .pressWindowButton = [this](int i) { clicks << QString::number(i); },
                .StepEpisode = [this](int d) { steps << d; },
                .chooseFile =
                    [this](const QString& title, const QString& filter) {
                        asked << title + u'|' + filter;
                        return chosen;
                    },
                .paintFace = [this](int i, const TransportFace& f) { faces[i] = f; },
                .setMuteCaption = [this](const QString& c) { menu.setMuteCaption(c); }};
    }
    PlayerBarControls barControls() {
        return {.mainWindow = &mainWindow,
                .seekBar = &seekBar,
                .seekKnob = &seekKnob,
                .playedBar = &playedBar,
                .volumeTrack = &volumeTrack,
                .volumeKnob = &volumeKnob,
                .volumeFill = &volumeFill,
                .statusText = &statusText,
                .timeText = &timeText};
    }
    void film(PlayState s, int position, int duration) {
        player.setUrl(QStringLiteral("/films/a.mp4"));
        player.setState(s);
        player.setPositionValue(position);
        player.setDurationValue(duration);
        player.clearCalls();
    }
    QAction* item(const char* name) { return menu.item(QString::fromLatin1(name)); }
    QStringList checked(const QStringList& names) {
        QStringList on;
        for (const QString& n : names)
            if (menu.item(n)->isChecked()) on << n;
        return on;
    }

    records::test::ProgramFolder folder;
    MainWindowState state;
    PlaySession session;
    fakes::FakePlayer player;
    records::ListPageWriter pages;
    records::RecordStore store;
    QTimer statusPollTimer;
    QWidget mainWindow, buttonBalloon, adArea, videoFrame, statusStrip, onTop, seekBar, seekKnob, playedBar,
        volumeTrack, volumeKnob, volumeFill;
    QWidget buttons[8];
    QLabel balloonText, statusText, timeText, filmTitle;
    QMenu playerPopupMenu;
    QStringList clicks, asked;
    QList<int> steps;
    QString chosen;
    int menus = 0;
    TransportFace faces[8];
    StopCommand stopCommand;
    ViewSwitcher views;
    TransportCommands transport;
    PlayerBarMouse bars;
    KeyCommands keys;
    PlayerMenu menu;
};

TEST(TransportCommands, PlayPauseTogglesThePlayerTheTipAndThePanels) {
    Rig r;
    r.film(PlayState::Paused, 40, 100);
    r.session.setResumeDone(true);
    r.state.MainTab = MainTab::Catalogue;
    r.transport.pressTransportButton(TransportButton::PlayPause);
    EXPECT_EQ(r.player.calls(), QStringList{"play"});
    EXPECT_EQ(r.buttons[0].toolTip(), QStringLiteral("暂停"));
    EXPECT_FALSE(r.session.resumeDone());  // the poll's resume step runs again
    EXPECT_EQ(r.clicks, QStringList{"9"});
    EXPECT_TRUE(r.statusPollTimer.isActive());
    EXPECT_TRUE(r.adArea.isHidden());
    EXPECT_EQ(r.faces[0].x, 116);

    r.player.clearCalls();
    r.transport.pressTransportButton(TransportButton::PlayPause);
    EXPECT_EQ(r.player.calls(), QStringList{"pause"});
    EXPECT_EQ(r.buttons[0].toolTip(), kPlayTip);
    EXPECT_EQ(r.statusText.text(), QStringLiteral("已暂停"));
    EXPECT_TRUE(r.videoFrame.isHidden());
    EXPECT_EQ(r.faces[0].x, 0);

    // Outside the player view neither play/pause nor stop does anything.
    r.state.CurrentView = View::WebPlayer;
    r.player.clearCalls();
    r.transport.pressTransportButton(TransportButton::PlayPause);
    r.transport.pressTransportButton(TransportButton::Stop);
    EXPECT_TRUE(r.player.calls().isEmpty());
}

TEST(TransportCommands, ARightPressSwallowsTheNextClickOnly) {
    Rig r;
    r.film(PlayState::Playing, 40, 100);
    r.buttonBalloon.show();
    r.transport.transportButtonMouseDown(TransportButton::Mute, Qt::RightButton);
    r.transport.pressTransportButton(TransportButton::Mute);
    EXPECT_TRUE(r.player.calls().isEmpty());
    EXPECT_TRUE(r.buttonBalloon.isHidden());  // the balloon goes all the same
    EXPECT_EQ(r.state.RightButtonFlag, 0);
    r.transport.transportButtonMouseDown(TransportButton::Mute, Qt::LeftButton);
    r.transport.pressTransportButton(TransportButton::Mute);
    EXPECT_EQ(r.player.calls(), QStringList{"setMute 1"});
}

TEST(TransportCommands, MuteTogglesTipMenuCaptionAndFace) {
    Rig r;
    r.transport.pressTransportButton(TransportButton::Mute);
    EXPECT_TRUE(r.player.mute());
    EXPECT_EQ(r.buttons[2].toolTip(), QStringLiteral("取消静音"));
    EXPECT_EQ(r.item("q_yin")->text(), QStringLiteral("取消静音"));
    EXPECT_EQ(r.faces[2].x, 50);
    r.item("q_yin")->trigger();  // the menu item runs the same command
    EXPECT_FALSE(r.player.mute());
    EXPECT_EQ(r.buttons[2].toolTip(), QStringLiteral("静音"));
    EXPECT_EQ(r.item("q_yin")->text(), QStringLiteral("静音"));
    EXPECT_EQ(r.faces[2].x, 0);
}

TEST(TransportCommands, StopKeepsThePositionInTheRecord) {
    Rig r;
    r.folder.put("date_f.dat", "a.mp4|/films/a.mp4|0\r\n");
    r.film(PlayState::Playing, 40, 100);
    r.session.startLocalFile(QStringLiteral("/films/a.mp4"), 0);
    r.session.setPositionReached(37);
    r.statusPollTimer.start();
    r.transport.pressTransportButton(TransportButton::Stop);
    EXPECT_EQ(r.player.calls(), QStringList{"stop"});
    EXPECT_EQ(r.store.ReadRecordLine(records::RecordFile::Local, 1), QStringLiteral("a.mp4|/films/a.mp4|37"));
    EXPECT_FALSE(r.statusPollTimer.isActive());
    EXPECT_EQ(r.statusText.text(), QStringLiteral("已停止"));
    EXPECT_EQ(r.session.positionReached(), 0);
}

TEST(TransportCommands, FullScreenOnlyWhilePlayingAndNeverOnTop) {
    Rig r;
    r.film(PlayState::Paused, 40, 100);
    r.transport.pressTransportButton(TransportButton::FullScreen);
    EXPECT_TRUE(r.player.calls().isEmpty());
    r.player.setState(PlayState::Playing);
    r.onTop.setToolTip(QStringLiteral("取消置顶"));
    r.transport.pressTransportButton(TransportButton::FullScreen);
    EXPECT_EQ(r.clicks, (QStringList{"4", "9"}));
    EXPECT_EQ(r.player.calls(), QStringList{"setFullScreen 1"});
}

TEST(TransportCommands, OpenFilePlaysTheChosenFileAndListsIt) {
    Rig r;
    r.folder.put("date_f.dat", "");
    r.state.CurrentView = View::Nothing;
    r.transport.pressTransportButton(TransportButton::OpenFile);  // cancelled: nothing changes
    ASSERT_EQ(r.asked.size(), 1);
    EXPECT_EQ(r.asked[0],
              QStringLiteral("选择播放文件|影音文件|*.rm;*.rmvb;*.wmv;*.mp3;*wma;*mid;*wav;*mpg;*mp4|所有文件|*.*"));
    EXPECT_TRUE(r.player.calls().isEmpty());
    EXPECT_EQ(r.state.CurrentView, View::Nothing);

    r.session.startNetworkEpisode({7, 0, 1, QStringLiteral("T")}, 0);
    r.session.nextAvailable(QStringLiteral("zvqvod://next"), QStringLiteral("qvod://next"));
    r.chosen = QStringLiteral("/films/新片 01.mp4");
    r.transport.pressTransportButton(TransportButton::OpenFile);
    EXPECT_EQ(r.player.calls(), (QStringList{"setUrl /films/新片 01.mp4", "play"}));
    EXPECT_EQ(r.state.CurrentView, View::Player);
    EXPECT_TRUE(r.statusPollTimer.isActive());
    EXPECT_EQ(r.filmTitle.text(), QStringLiteral("新片 01.mp4"));
    EXPECT_EQ(r.store.ReadRecordLine(records::RecordFile::Local, 1).section(u'|', 1),
              QStringLiteral("/films/新片 01.mp4|0"));
    EXPECT_EQ(r.session.source(), PlaySource::LocalFile);
    EXPECT_EQ(r.session.recordKind(), RecordKind::LocalFile);
    EXPECT_EQ(r.session.recordKey(), r.chosen);
    EXPECT_EQ(r.clicks, (QStringList{"7", "9"}));
    // The episode that played and its next are left as they were.
    EXPECT_EQ(r.session.next(), NextEpisode::Available);
    EXPECT_EQ(r.session.nextLink(), QStringLiteral("zvqvod://next"));
    EXPECT_TRUE(r.session.episode());
}

TEST(TransportCommands, EpisodesAndSidebar) {
    Rig r;
    r.transport.pressTransportButton(TransportButton::PreviousEpisode);
    r.transport.pressTransportButton(TransportButton::NextEpisode);
    EXPECT_EQ(r.steps, (QList<int>{1, 2}));  // the sequencer takes 1 as back, anything else as forward
    EXPECT_TRUE(r.buttons[5].isEnabled());
    EXPECT_TRUE(r.buttons[7].isEnabled());
    r.transport.pressTransportButton(TransportButton::Sidebar);
    r.state.MainTab = MainTab::LiveTv;
    r.transport.pressTransportButton(TransportButton::Sidebar);
    r.state.MainTab = MainTab::Catalogue;
    r.transport.pressTransportButton(TransportButton::Sidebar);
    EXPECT_EQ(r.clicks, (QStringList{"6", "15"}));
}

TEST(TransportCommands, HoverShowsItsFaceAndOnThePlayerTabTheBalloon) {
    Rig r;
    r.transport.transportButtonMouseMove(TransportButton::Stop, QPoint(5, 5));
    EXPECT_EQ(r.faces[1], (TransportFace{13, 25}));
    ASSERT_TRUE(r.buttonBalloon.isVisibleTo(&r.mainWindow));
    EXPECT_EQ(r.balloonText.text(), QStringLiteral("停止"));
    EXPECT_EQ(r.balloonText.pos(), QPoint(3, 3));
    EXPECT_EQ(r.buttonBalloon.width(), r.balloonText.width() + 6);
    EXPECT_EQ(r.buttonBalloon.x(), 130 + 12 - r.buttonBalloon.width() / 2);
    EXPECT_EQ(r.buttonBalloon.y(), 600 - 64);
    r.transport.transportButtonMouseMove(TransportButton::Stop, QPoint(-1, -1));
    EXPECT_EQ(r.faces[1], (TransportFace{13, 0}));
    EXPECT_TRUE(r.buttonBalloon.isHidden());
    // Elsewhere than on the player tab: the face, no balloon.
    r.state.MainTab = MainTab::Catalogue;
    r.transport.transportButtonMouseMove(TransportButton::Stop, QPoint(25, 25));
    EXPECT_EQ(r.faces[1].x, 25);
    EXPECT_TRUE(r.buttonBalloon.isHidden());
}

TEST(PlayerBarMouse, SeekBarPressesAndReleasesWithTheGuard) {
    Rig r;
    r.film(PlayState::Playing, 10, 120);  // span 480: 4 px a second
    r.bars.seekBarMouseDown(Qt::LeftButton, QPoint(240, 3));
    EXPECT_EQ(r.seekKnob.x(), 240);
    EXPECT_EQ(r.playedBar.width(), 240);
    r.bars.seekBarMouseUp();
    EXPECT_EQ(r.player.position(), 60);
    // Beyond the end of the track: past the film, then 2 s before its end.
    r.player.clearCalls();
    r.bars.seekBarMouseDown(Qt::LeftButton, QPoint(496, 3));
    r.bars.seekBarMouseUp();
    EXPECT_EQ(r.player.calls(), (QStringList{"setPosition 124", "setPosition 118"}));
    // Dragging the knob stops at both ends; its release is 2 s earlier.
    r.bars.seekKnobMouseMove(Qt::LeftButton, QPoint(900, 3));
    EXPECT_EQ(r.seekKnob.x(), 480);
    r.bars.seekKnobMouseMove(Qt::LeftButton, QPoint(-1000, 3));
    EXPECT_EQ(r.seekKnob.x(), 0);
    r.bars.seekKnobMouseMove(Qt::LeftButton, QPoint(2, 3));
    r.bars.seekKnobMouseUp();
    EXPECT_EQ(r.player.position(), 0);  // at 2 px: exact
    r.bars.seekKnobMouseMove(Qt::LeftButton, QPoint(118, 3));
    r.bars.seekKnobMouseUp();
    EXPECT_EQ(r.player.position(), 28);
    // The played part: always 2 s earlier.
    r.bars.playedBarMouseDown(Qt::LeftButton, QPoint(40, 3));
    r.bars.playedBarMouseUp();
    EXPECT_EQ(r.player.position(), 8);
    // Nothing loaded: the track ignores the mouse.
    r.player.setUrl({});
    r.player.clearCalls();
    r.bars.seekBarMouseDown(Qt::LeftButton, QPoint(100, 3));
    r.bars.seekBarMouseUp();
    EXPECT_TRUE(r.player.calls().isEmpty());
}

TEST(PlayerBarMouse, VolumeBarUnmutesAndClamps) {
    Rig r;  // span 70
    r.transport.pressTransportButton(TransportButton::Mute);
    r.bars.volumeTrackMouseDown(Qt::LeftButton, QPoint(35, 5));
    EXPECT_FALSE(r.player.mute());
    EXPECT_EQ(r.buttons[2].toolTip(), QStringLiteral("静音"));
    EXPECT_EQ(r.player.volume(), 50);
    EXPECT_EQ(r.statusText.text(), QStringLiteral("音量：50%"));
    EXPECT_EQ(r.volumeFill.width(), 35);
    r.bars.volumeTrackMouseDown(Qt::LeftButton, QPoint(79, 5));
    EXPECT_EQ(r.player.volume(), 100);
    r.bars.volumeKnobMouseMove(Qt::LeftButton, QPoint(-200, 5));
    EXPECT_EQ(r.player.volume(), 0);
    EXPECT_EQ(r.volumeKnob.x(), 0);
    r.bars.volumeKnobMouseMove(Qt::LeftButton, QPoint(200, 5));
    EXPECT_EQ(r.player.volume(), 100);
    EXPECT_EQ(r.volumeKnob.x(), 70);
    r.bars.volumeFillMouseDown(Qt::LeftButton, QPoint(14, 1));
    EXPECT_EQ(r.player.volume(), 20);
    r.bars.volumeKnobMouseMove(Qt::NoButton, QPoint(30, 5));  // a hover is no drag
    EXPECT_EQ(r.player.volume(), 20);
}

TEST(PlayerBarMouse, PictureAreaClicksAndTheMenu) {
    Rig r;
    r.bars.idlePictureMouseDown(Qt::RightButton);  // nothing loaded: no menu
    r.bars.adAreaMouseDown(Qt::RightButton);
    EXPECT_EQ(r.menus, 0);
    r.bars.videoMouseDown(Qt::RightButton);  // over the picture: always
    EXPECT_EQ(r.menus, 1);
    r.film(PlayState::Playing, 10, 100);
    r.bars.idlePictureMouseDown(Qt::RightButton);
    r.bars.adAreaMouseDown(Qt::RightButton);
    EXPECT_EQ(r.menus, 3);
    r.bars.idlePictureMouseDown(Qt::LeftButton);  // play/pause
    EXPECT_EQ(r.player.calls(), QStringList{"play"});
    r.bars.videoDoubleClick();  // full screen
    EXPECT_TRUE(r.player.fullScreen());
}

TEST(KeyCommands, SpeedAndCaptureLettersOnlyBareAndOnThePlayerTab) {
    Rig r;
    QStringList used;
    r.keys.setExtras({.slower = [&] { used << "slower"; },
                      .faster = [&] { used << "faster"; },
                      .normal = [&] { used << "normal"; },
                      .capture = [&] { used << "capture"; }});
    r.state.CurrentView = View::Player;
    r.state.MainTab = MainTab::Player;
    for (int key : {Qt::Key_X, Qt::Key_C, Qt::Key_Z, Qt::Key_S}) EXPECT_TRUE(r.keys.extraKeyDown(key, Qt::NoModifier));
    EXPECT_EQ(used, (QStringList{"slower", "faster", "normal", "capture"}));
    // Copying with Ctrl+C, another letter, a letter typed on another tab: left alone.
    EXPECT_FALSE(r.keys.extraKeyDown(Qt::Key_C, Qt::ControlModifier));
    EXPECT_FALSE(r.keys.extraKeyDown(Qt::Key_A, Qt::NoModifier));
    r.state.MainTab = MainTab::Catalogue;
    EXPECT_FALSE(r.keys.extraKeyDown(Qt::Key_S, Qt::NoModifier));
    EXPECT_EQ(used.size(), 4);
}

TEST(KeyCommands, SeekAndVolumeKeysInThePlayerViewOnly) {
    Rig r;
    r.film(PlayState::Playing, 5, 120);
    r.state.CurrentView = View::WebPlayer;
    EXPECT_FALSE(r.keys.onPlayerKey(Qt::Key_Space));
    EXPECT_TRUE(r.player.calls().isEmpty());
    r.state.CurrentView = View::Player;

    EXPECT_TRUE(r.keys.onPlayerKey(Qt::Key_Left));  // at 5 s: to 0
    EXPECT_EQ(r.player.calls().first(), QStringLiteral("setPosition -5"));
    EXPECT_EQ(r.player.position(), 0);
    EXPECT_EQ(r.seekKnob.x(), 0);
    EXPECT_EQ(r.timeText.text(), QStringLiteral("00:00 / 02:00"));
    EXPECT_TRUE(r.statusPollTimer.isActive());
    r.player.clearCalls();
    r.statusPollTimer.stop();
    r.keys.onPlayerKey(Qt::Key_Left);  // at 0: nothing, the poll on again
    EXPECT_TRUE(r.player.calls().isEmpty());
    EXPECT_TRUE(r.statusPollTimer.isActive());

    r.player.setPositionValue(60);
    r.keys.onPlayerKey(Qt::Key_Right);
    EXPECT_EQ(r.player.position(), 70);
    EXPECT_EQ(r.seekKnob.x(), 320);  // drawn for 80 s
    r.player.setPositionValue(115);
    r.keys.onPlayerKey(Qt::Key_Right);  // within the last 10 s
    EXPECT_EQ(r.player.position(), 118);

    r.player.setVolume(50);
    r.transport.pressTransportButton(TransportButton::Mute);
    r.keys.onPlayerKey(Qt::Key_Up);  // un-mutes and raises in one press
    EXPECT_FALSE(r.player.mute());
    EXPECT_EQ(r.player.volume(), 60);
    EXPECT_EQ(r.statusText.text(), QStringLiteral("音量：60%"));
    EXPECT_EQ(r.volumeKnob.x(), 42);
    r.keys.onPlayerKey(Qt::Key_Down);
    r.keys.onPlayerKey(Qt::Key_Down);
    EXPECT_EQ(r.player.volume(), 40);

    r.player.clearCalls();
    EXPECT_TRUE(r.keys.onPlayerKey(Qt::Key_Space));
    EXPECT_EQ(r.player.calls(), QStringList{"play"});
    EXPECT_FALSE(r.keys.onPlayerKey(Qt::Key_A));
}

TEST(PlayerMenu, RadioGroupsKeepOneMarkAndCallThePlayer) {
    Rig r;
    const QStringList picture{"q_la", "q_suo", "q_43", "q_54", "q_169"};
    const QStringList sound{"q_shun", "q_szuo", "q_syou", "q_szuoq", "q_syouq"};
    EXPECT_EQ(r.checked(picture), QStringList{"q_suo"});
    EXPECT_EQ(r.checked(sound), QStringList{"q_shun"});
    EXPECT_EQ(r.checked({"kaiqi", "q_wu"}), QStringList{"q_wu"});
    EXPECT_EQ(r.item("q_169")->text(), QStringLiteral("16:9"));
    EXPECT_EQ(r.item("q_szuoq")->text(), QStringLiteral("左声道扩展至全部"));

    r.item("q_169")->trigger();
    EXPECT_EQ(r.checked(picture), QStringList{"q_169"});
    r.item("q_la")->trigger();
    EXPECT_EQ(r.checked(picture), QStringList{"q_la"});
    r.item("q_syou")->trigger();
    EXPECT_EQ(r.checked(sound), QStringList{"q_syou"});
    r.item("q_syouq")->trigger();
    EXPECT_EQ(r.checked(sound), QStringList{"q_syouq"});
    r.item("q_syouq")->trigger();  // choosing it again keeps it
    EXPECT_EQ(r.checked(sound), QStringList{"q_syouq"});
    EXPECT_EQ(r.player.calls(), (QStringList{"setDisplayMode 4", "setDisplayMode 0", "setSoundChannel 2",
                                             "setSoundChannel 5", "setSoundChannel 5"}));

    r.item("kaiqi")->trigger();
    EXPECT_TRUE(r.state.ShutDownAfterPlay);
    EXPECT_EQ(r.checked({"kaiqi", "q_wu"}), QStringList{"kaiqi"});
    r.item("q_wu")->trigger();
    EXPECT_FALSE(r.state.ShutDownAfterPlay);
}

TEST(PlayerMenu, TransportItemsAndCompactMode) {
    Rig r;
    r.film(PlayState::Playing, 30, 100);
    r.item("q_bo")->trigger();
    EXPECT_EQ(r.player.calls(), QStringList{"play"});
    r.item("q_quan")->trigger();
    EXPECT_TRUE(r.player.fullScreen());
    r.item("q_stop")->trigger();
    EXPECT_EQ(r.player.calls().last(), QStringLiteral("stop"));

    EXPECT_EQ(r.item("q_jing")->text(), QStringLiteral("精简模式"));
    r.clicks.clear();
    r.item("q_jing")->trigger();
    EXPECT_EQ(r.item("q_jing")->text(), QStringLiteral("退出精简"));
    r.item("q_jing")->trigger();
    EXPECT_EQ(r.item("q_jing")->text(), QStringLiteral("精简模式"));
    EXPECT_EQ(r.clicks, (QStringList{"3", "jbi"}));
}

}  // namespace
}  // namespace qarvel::playback
