// The player's controls: the transport buttons' commands (by index or by
// name, for the keys, the menus, the tray and the media keys), the bars' and
// the picture's mouse, the keys, the player menu `playerPopupMenu`, and the speed and
// frame capture the menu and the keys reach.
#include "app/application.h"
#include "app/command_line.h"
#include "app/main_window/main_window.h"
#include "app/wiring.h"
#include "common/logging.h"
#include "engine/mpv_player.h"
#include "platform/user_dialogs.h"
#include "playback/bar_labels.h"
#include "playback/frame_capture.h"
#include "playback/key_commands.h"
#include "playback/playback_speed.h"
#include "playback/player_bar_mouse.h"
#include "playback/player_menu.h"
#include "playback/stop_command.h"
#include "playback/transport_commands.h"
#include "playback/view_switcher.h"
#include "records/record_store.h"
#include "web/episode_sequencer.h"
#include "window/window_buttons.h"
#include "window/window_chrome.h"

#include <QCursor>
#include <QLabel>
#include <QMouseEvent>

namespace qarvel {

namespace {

// Hands the mouse events of watched widgets to a function, which returns true
// to take one away from the widget (and from the filters installed before).
class MouseWatcher : public QObject {
public:
    using Handler = std::function<bool(QObject* watched, QMouseEvent* event)>;
    explicit MouseWatcher(Handler handler) : handler_(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: return handler_(watched, static_cast<QMouseEvent*>(event));
        default: return false;
        }
    }

private:
    Handler handler_;
};

}  // namespace

void wireControls(Application& app) {
    AppParts& p = app.parts();
    MainWindow& w = *p.window;
    window::MainWindowControls& c = w.controls();
    MainWindowState& state = w.state();
    window::WindowButtons* buttons = p.buttons.get();
    web::EpisodeSequencer* sequencer = p.sequencer.get();
    platform::UserDialogs* dialogs = p.dialogs;
    window::Skin* skin = &w.skin();
    auto pressWindowButton = [buttons](int index) { buttons->pressWindowButton(index); };

    playback::TransportControls tc;
    for (int i = 0; i < kTransportButtonCount; ++i) tc.transportButtons[i] = c.transportButtons[i];
    tc.mainWindow = c.mainWindow;
    tc.buttonBalloon = c.buttonBalloon;
    tc.balloonText = c.balloonText;
    tc.adArea = c.adArea;
    tc.videoFrame = c.videoFrame;
    tc.pauseAdFrame = c.pauseAdFrame;
    tc.stopAdFrame = c.stopAdFrame;
    tc.statusText = c.statusText;
    tc.filmTitle = c.filmTitle;
    tc.statusStrip = c.statusStrip;
    tc.onTopButton = c.windowButtons[WindowButton::AlwaysOnTop];
    p.transport = std::make_unique<playback::TransportCommands>(
        state, w.session(), tc,
        playback::TransportServices{
            .player = *p.player,
            .stop = *p.stop,
            .views = *p.views,
            .records = *p.records,
            .statusPollTimer = *c.statusPollTimer,
            .pressWindowButton = pressWindowButton,
            .StepEpisode = [sequencer](int direction) { sequencer->StepEpisode(direction); },
            .chooseFile =
                [dialogs, status = c.statusText](const QString& title, const QString& filter) {
                    const QString path = dialogs->chooseFileToOpen(title, filter);
                    if (isAcceptableTarget(path)) return path;
                    qCWarning(lcClient) << "file chooser: refused a name with a control character:"
                                        << visibleText(path);
                    playback::setBarText(status, kControlCharacterRefused);
                    return QString();
                },
            .paintFace =
                [c, skin](int index, const playback::TransportFace& f) {
                    c.transportButtons[index]->setPicture(skin->piece(f.sprite, f.x, 0, f.width, f.height));
                },
            .setMuteCaption = [&p](const QString& caption) { p.playerMenu->setMuteCaption(caption); }});
    playback::TransportCommands* transport = p.transport.get();
    for (window::PictureBox* b : c.transportButtons) {
        QObject::connect(b, &window::PictureBox::clicked, b,
                         [transport](int i) { transport->pressTransportButton(i); });
        QObject::connect(b, &window::PictureBox::pressed, b, [transport](int i, Qt::MouseButton button) {
            transport->transportButtonMouseDown(i, button);
        });
        QObject::connect(b, &window::PictureBox::moved, b, [transport](int i, Qt::MouseButtons, QPoint pos) {
            transport->transportButtonMouseMove(i, pos);
        });
    }

    QMenu* playerPopupMenu = &w.menus().playerPopupMenu;
    window::Label* leaveCompactButton = c.leaveCompactButton;
    playback::PlayerBarControls bc{.mainWindow = c.mainWindow,
                                   .seekBar = c.seekBar,
                                   .seekKnob = c.seekKnob,
                                   .playedBar = c.playedBar,
                                   .volumeTrack = c.volumeTrack,
                                   .volumeKnob = c.volumeKnob,
                                   .volumeFill = c.volumeFill,
                                   .statusText = c.statusText,
                                   .timeText = c.timeText,
                                   .jbiAtRest = [leaveCompactButton] { leaveCompactButton->setForeColour(Qt::white); }};
    p.barMouse = std::make_unique<playback::PlayerBarMouse>(
        state, bc, *p.player, *p.transport, [playerPopupMenu] { playerPopupMenu->popup(QCursor::pos()); });
    playback::PlayerBarMouse* bars = p.barMouse.get();
    using window::Label;
    using window::PictureBox;
    QObject::connect(c.seekBar, &PictureBox::pressed, c.seekBar,
                     [bars](int, Qt::MouseButton b, QPoint at) { bars->seekBarMouseDown(b, at); });
    QObject::connect(c.seekBar, &PictureBox::released, c.seekBar, [bars] { bars->seekBarMouseUp(); });
    QObject::connect(c.seekKnob, &PictureBox::moved, c.seekKnob,
                     [bars](int, Qt::MouseButtons b, QPoint at) { bars->seekKnobMouseMove(int(b), at); });
    QObject::connect(c.seekKnob, &PictureBox::released, c.seekKnob, [bars] { bars->seekKnobMouseUp(); });
    for (Label* part : {c.playedBar, c.downloadedBar}) {
        QObject::connect(part, &Label::pressed, part,
                         [bars](Qt::MouseButton b, QPoint at) { bars->playedBarMouseDown(b, at); });
        QObject::connect(part, &Label::released, part, [bars] { bars->playedBarMouseUp(); });
    }
    QObject::connect(c.volumeTrack, &PictureBox::pressed, c.volumeTrack,
                     [bars](int, Qt::MouseButton b, QPoint at) { bars->volumeTrackMouseDown(b, at); });
    QObject::connect(c.volumeFill, &Label::pressed, c.volumeFill,
                     [bars](Qt::MouseButton b, QPoint at) { bars->volumeFillMouseDown(b, at); });
    QObject::connect(c.volumeKnob, &PictureBox::moved, c.volumeKnob,
                     [bars](int, Qt::MouseButtons b, QPoint at) { bars->volumeKnobMouseMove(int(b), at); });
    QObject::connect(c.idlePicture, &PictureBox::pressed, c.idlePicture,
                     [bars](int, Qt::MouseButton b) { bars->idlePictureMouseDown(b); });
    QObject::connect(c.videoOverlay, &Label::pressed, c.videoOverlay,
                     [bars](Qt::MouseButton b) { bars->videoMouseDown(b); });
    QObject::connect(c.videoOverlay, &Label::moved, c.videoOverlay, [bars] { bars->videoMouseMove(); });
    QObject::connect(c.videoOverlay, &Label::doubleClicked, c.videoOverlay, [bars] { bars->videoDoubleClick(); });
    // The picture itself and the advertisement area are plain widgets.
    QWidget* picture = c.playerVideo;
    QWidget* adArea = c.adArea;
    engine::Player* player = p.player;
    p.pictureMouse = std::make_unique<MouseWatcher>([bars, picture, adArea, player](QObject* watched, QMouseEvent* e) {
        const bool press = e->type() == QEvent::MouseButtonPress;
        const bool move = e->type() == QEvent::MouseMove;
        if (watched == picture) {
            if (press) bars->videoMouseDown(e->button());
            else if (move) bars->videoMouseMove();
            // In full screen a double click leaves it: the player sees to that.
            // The one that entered it must not reach the player as well.
            else if (!player->fullScreen()) {
                bars->videoDoubleClick();
                return true;
            }
        } else if (watched == adArea) {
            if (press) bars->adAreaMouseDown(e->button());
            else if (move) bars->adAreaMouseMove();
        }
        return false;
    });
    if (picture) picture->installEventFilter(p.pictureMouse.get());
    adArea->installEventFilter(p.pictureMouse.get());

    p.keys = std::make_unique<playback::KeyCommands>(state, *p.player, *c.statusPollTimer, *p.transport, *p.barMouse);

    window::WindowChrome* chrome = p.chrome.get();
    p.playerMenu = std::make_unique<playback::PlayerMenu>(
        *playerPopupMenu, state, *p.player, *p.transport,
        playback::PlayerMenuActions{.leaveCompactMode = [chrome] { chrome->leaveCompactMode(); },
                                    .pressWindowButton = pressWindowButton});
    playback::PlayerMenu* menu = p.playerMenu.get();
    p.chrome->setCompactMenuCaption = [menu](const QString& caption) { menu->setCompactCaption(caption); };
}

void wirePlayerExtras(Application& app) {
    AppParts& p = app.parts();
    MainWindow& w = *p.window;
    TrayIcon* tray = &w.tray();
    QLabel* title = w.controls().filmTitle;
    p.speed = std::make_unique<playback::PlaybackSpeed>(w.session(), *p.player);
    p.capture = std::make_unique<playback::FrameCapture>(
        playback::CaptureServices{.player = *p.player,
                                  .title = [title] { return title->text(); },
                                  .showBalloon = [tray](const QString& text) { tray->ShowTrayBalloon(text); }});
    playback::PlaybackSpeed* speed = p.speed.get();
    playback::FrameCapture* capture = p.capture.get();
    playback::PlayerMenu* menu = p.playerMenu.get();
    menu->addExtras(*speed, [capture] { capture->capture(); });
    speed->changed = [menu](double now) { menu->markSpeed(now); };
    p.keys->setExtras({.slower = [speed] { speed->slower(); },
                       .faster = [speed] { speed->faster(); },
                       .normal = [speed] { speed->normal(); },
                       .capture = [capture] { capture->capture(); }});
    // What plays next is known once its first picture shows.
    if (auto* mpv = qobject_cast<engine::MpvPlayer*>(p.player))
        QObject::connect(mpv, &engine::MpvPlayer::firstFrame, w.controls().statusPollTimer,
                         [speed] { speed->filmStarted(); });
}

}  // namespace qarvel
