// The player's controls: the transport buttons' commands (by index or by
// name, for the keys, the menus, the tray and the media keys), the bars' and
// the picture's mouse, the keys, the player menu `qvod_m`, and the speed and
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
    auto npc_Click = [buttons](int index) { buttons->npc_Click(index); };

    playback::TransportControls tc;
    for (int i = 0; i < kTransportButtonCount; ++i) tc.bo_but[i] = c.bo_but[i];
    tc.BA1 = c.BA1;
    tc.P1 = c.P1;
    tc.bo_tip = c.bo_tip;
    tc.bo_ad = c.bo_ad;
    tc.Qvodx = c.Qvodx;
    tc.ad_huan = c.ad_huan;
    tc.bo_pad = c.bo_pad;
    tc.zhun = c.zhun;
    tc.bo_name = c.bo_name;
    tc.bo_zt = c.bo_zt;
    tc.onTopButton = c.npc[WindowButton::AlwaysOnTop];
    p.transport = std::make_unique<playback::TransportCommands>(
        state, w.session(), tc,
        playback::TransportServices{
            .player = *p.player,
            .stop = *p.stop,
            .views = *p.views,
            .records = *p.records,
            .Timer1 = *c.Timer1,
            .npc_Click = npc_Click,
            .StepEpisode = [sequencer](int direction) { sequencer->StepEpisode(direction); },
            .chooseFile =
                [dialogs, status = c.zhun](const QString& title, const QString& filter) {
                    const QString path = dialogs->chooseFileToOpen(title, filter);
                    if (isAcceptableTarget(path)) return path;
                    qCWarning(lcClient) << "file chooser: refused a name with a control character:"
                                        << visibleText(path);
                    playback::setBarText(status, kControlCharacterRefused);
                    return QString();
                },
            .paintFace =
                [c, skin](int index, const playback::TransportFace& f) {
                    c.bo_but[index]->setPicture(skin->piece(f.sprite, f.x, 0, f.width, f.height));
                },
            .setMuteCaption = [&p](const QString& caption) { p.playerMenu->setMuteCaption(caption); }});
    playback::TransportCommands* transport = p.transport.get();
    for (window::PictureBox* b : c.bo_but) {
        QObject::connect(b, &window::PictureBox::clicked, b, [transport](int i) { transport->bo_but_Click(i); });
        QObject::connect(b, &window::PictureBox::pressed, b,
                         [transport](int i, Qt::MouseButton button) { transport->bo_but_MouseDown(i, button); });
        QObject::connect(b, &window::PictureBox::moved, b,
                         [transport](int i, Qt::MouseButtons, QPoint pos) { transport->bo_but_MouseMove(i, pos); });
    }

    QMenu* qvod_m = &w.menus().qvod_m;
    window::Label* jbi = c.jbi;
    playback::PlayerBarControls bc{.BA1 = c.BA1,
                                   .gunt = c.gunt,
                                   .gunt1 = c.gunt1,
                                   .gunt2 = c.gunt2,
                                   .yin = c.yin,
                                   .bo_v = c.bo_v,
                                   .bo_y = c.bo_y,
                                   .zhun = c.zhun,
                                   .times = c.times,
                                   .jbiAtRest = [jbi] { jbi->setForeColour(Qt::white); }};
    p.barMouse = std::make_unique<playback::PlayerBarMouse>(state, bc, *p.player, *p.transport,
                                                            [qvod_m] { qvod_m->popup(QCursor::pos()); });
    playback::PlayerBarMouse* bars = p.barMouse.get();
    using window::Label;
    using window::PictureBox;
    QObject::connect(c.gunt, &PictureBox::pressed, c.gunt,
                     [bars](int, Qt::MouseButton b, QPoint at) { bars->gunt_MouseDown(b, at); });
    QObject::connect(c.gunt, &PictureBox::released, c.gunt, [bars] { bars->gunt_MouseUp(); });
    QObject::connect(c.gunt1, &PictureBox::moved, c.gunt1,
                     [bars](int, Qt::MouseButtons b, QPoint at) { bars->gunt1_MouseMove(int(b), at); });
    QObject::connect(c.gunt1, &PictureBox::released, c.gunt1, [bars] { bars->gunt1_MouseUp(); });
    for (Label* part : {c.gunt2, c.huan}) {
        QObject::connect(part, &Label::pressed, part,
                         [bars](Qt::MouseButton b, QPoint at) { bars->playedPart_MouseDown(b, at); });
        QObject::connect(part, &Label::released, part, [bars] { bars->playedPart_MouseUp(); });
    }
    QObject::connect(c.yin, &PictureBox::pressed, c.yin,
                     [bars](int, Qt::MouseButton b, QPoint at) { bars->yin_MouseDown(b, at); });
    QObject::connect(c.bo_y, &Label::pressed, c.bo_y,
                     [bars](Qt::MouseButton b, QPoint at) { bars->bo_y_MouseDown(b, at); });
    QObject::connect(c.bo_v, &PictureBox::moved, c.bo_v,
                     [bars](int, Qt::MouseButtons b, QPoint at) { bars->bo_v_MouseMove(int(b), at); });
    QObject::connect(c.adp, &PictureBox::pressed, c.adp, [bars](int, Qt::MouseButton b) { bars->adp_MouseDown(b); });
    QObject::connect(c.Lqvod, &Label::pressed, c.Lqvod, [bars](Qt::MouseButton b) { bars->picture_MouseDown(b); });
    QObject::connect(c.Lqvod, &Label::moved, c.Lqvod, [bars] { bars->picture_MouseMove(); });
    QObject::connect(c.Lqvod, &Label::doubleClicked, c.Lqvod, [bars] { bars->picture_DblClick(); });
    // The picture itself and the advertisement area are plain widgets.
    QWidget* picture = c.QvodC;
    QWidget* adArea = c.bo_ad;
    engine::Player* player = p.player;
    p.pictureMouse = std::make_unique<MouseWatcher>([bars, picture, adArea, player](QObject* watched, QMouseEvent* e) {
        const bool press = e->type() == QEvent::MouseButtonPress;
        const bool move = e->type() == QEvent::MouseMove;
        if (watched == picture) {
            if (press) bars->picture_MouseDown(e->button());
            else if (move) bars->picture_MouseMove();
            // In full screen a double click leaves it: the player sees to that.
            // The one that entered it must not reach the player as well.
            else if (!player->fullScreen()) {
                bars->picture_DblClick();
                return true;
            }
        } else if (watched == adArea) {
            if (press) bars->bo_ad_MouseDown(e->button());
            else if (move) bars->bo_ad_MouseMove();
        }
        return false;
    });
    if (picture) picture->installEventFilter(p.pictureMouse.get());
    adArea->installEventFilter(p.pictureMouse.get());

    p.keys = std::make_unique<playback::KeyCommands>(state, *p.player, *c.Timer1, *p.transport, *p.barMouse);

    window::WindowChrome* chrome = p.chrome.get();
    p.playerMenu = std::make_unique<playback::PlayerMenu>(
        *qvod_m, state, *p.player, *p.transport,
        playback::PlayerMenuActions{.jbi_Click = [chrome] { chrome->jbi_Click(); }, .npc_Click = npc_Click});
    playback::PlayerMenu* menu = p.playerMenu.get();
    p.chrome->setCompactMenuCaption = [menu](const QString& caption) { menu->setCompactCaption(caption); };
}

void wirePlayerExtras(Application& app) {
    AppParts& p = app.parts();
    MainWindow& w = *p.window;
    TrayIcon* tray = &w.tray();
    QLabel* title = w.controls().bo_name;
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
        QObject::connect(mpv, &engine::MpvPlayer::firstFrame, w.controls().Timer1, [speed] { speed->filmStarted(); });
}

}  // namespace qarvel
