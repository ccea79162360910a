#include "app/application.h"

#include "app/command_line.h"
#include "app/desktop_media_controls.h"
#include "app/main_window/main_window.h"
#include "app/program_folder.h"
#include "app/shell_commands.h"
#include "app/single_instance.h"
#include "app/player_host/player_host.h"
#include "app/system_services.h"
#include "app/wire_series_skip.h"
#include "app/wire_subtitles_and_drops.h"
#include "dialogs/context_menus.h"
#include "dialogs/settings_dialog.h"
#include "engine/mpv_player.h"
#include "engine/player_config.h"
#include "extras/browser_link.h"
#include "extras/online_extras.h"
#include "extras/popup_window.h"
#include "extras/scrolling_notice.h"
#include "platform/desktop_bus.h"
#include "platform/mpris_service.h"
#include "platform/power_off.h"
#include "platform/screen_inhibitor.h"
#include "platform/process_finder.h"
#include "platform/text_fetcher.h"
#include "platform/user_dialogs.h"
#include "playback/bar_labels.h"
#include "playback/frame_capture.h"
#include "playback/playback_speed.h"
#include "playback/key_commands.h"
#include "playback/player_bar_mouse.h"
#include "playback/player_menu.h"
#include "playback/status_poll.h"
#include "playback/stop_command.h"
#include "playback/transport_commands.h"
#include "playback/view_switcher.h"
#include "records/record_commands.h"
#include "records/record_list_page.h"
#include "records/record_store.h"
#include "web/episode_sequencer.h"
#include "web/first_pages.h"
#include "web/link_router.h"
#include "web/pane_events.h"
#include "web/pane_navigator.h"
#include "web/web_pane.h"
#include "window/key_preview.h"
#include "window/main_window_layout.h"
#include "window/skin_painter.h"
#include "window/units.h"
#include "window/window_buttons.h"
#include "window/window_chrome.h"

#include "common/build_config.h"
#include "common/logging.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QScreen>
#include <QUrl>
#include <QTimer>
#include <cstdio>

namespace qarvel {

namespace {

// Window size when the stored size is not to be kept, twips.
constexpr int kStartWidthTwips = 14850;
constexpr int kStartHeightTwips = 9830;

}  // namespace

Application::Application(ApplicationOptions options)
    : options_(std::move(options)), player_(options_.player), shell_(options_.desktop) {
    if (!options_.dialogs) ownDialogs_ = std::make_unique<platform::QtUserDialogs>();
    if (!options_.processes) ownProcesses_ = std::make_unique<platform::LinuxProcessFinder>();
    // Every rebuilt list page is shown again in its pane. Start-up writes the
    // pages before the panes exist; nothing is shown then.
    auto showPage = [this](records::RecordFile file, const QString& page) {
        if (!navigator_) return;
        const auto reload = web::listPaneReloader(*navigator_);
        reload(file, page);
    };
    pages_ = std::make_unique<records::ListPageWriter>(options_.files, showPage);
}

StartupResult Application::start(platform::PlayerComponent& component, platform::Shell& shell) {
    if (!shell_) shell_ = &shell;
    StartupEnvironment env;
    env.files = options_.files;
    env.component = &component;
    env.dialogs = options_.dialogs ? options_.dialogs : ownDialogs_.get();
    env.shell = &shell;
    env.macAddress = [] { return GetMacAddress(); };
    env.randomUserId = [] { return MakeRandomUserId(); };
    env.renderRecordList = [this](const QString& recordFile) {
        pages_->RefreshRecordList(records::recordFileForName(recordFile));
    };
    env.showMainWindow = [this] {
        if (showMainWindow()) return true;
        std::fprintf(stderr, "qarvel: the player could not start: %s\n", qPrintable(errorText_));
        return false;
    };
    env.playerFailure = [this] { return errorText_; };
    return StartupSequence(env).run();
}

Application::~Application() {
    // The panes report their last loads while the controls are torn down;
    // nobody may act on them then. The window goes before the player it shows.
    // Subsystems go first, newest first: some are children of the window.
    extras_.reset();
    mpris_.reset();
    inhibitor_.reset();
    mediaControls_.reset();
    instance_.reset();
    shellCommands_.reset();
    menus_.reset();
    recordCommands_.reset();
    keyPreview_.reset();
    settingsDialog_.reset();
    pictureMouse_.reset();
    capture_.reset();
    playerMenu_.reset();
    speed_.reset();
    keys_.reset();
    barMouse_.reset();
    transport_.reset();
    playerHost_.reset();
    poll_.reset();
    sequencer_.reset();
    router_.reset();
    views_.reset();
    stop_.reset();
    paneEvents_.reset();
    painter_.reset();
    buttons_.reset();
    chrome_.reset();
    layout_.reset();
    window_.reset();
}

bool Application::startPlayer() {
    if (player_) return true;
    if (options_.makePlayer) {
        ownPlayer_ = options_.makePlayer(errorText_);
        player_ = ownPlayer_.get();
        return player_ != nullptr;
    }
    engine::MpvPlayer::Options options;
    options.files = options_.files;
    options.sources = {options_.serviceBase + QStringLiteral("seed/")};
    // Films are fetched by the download service of the player folder the host
    // check serves ("qvodw" may name another than the program's own), which is
    // started again whenever the player finds it gone.
    platform::ProcessFinder* processes = &this->processes();
    options.terminalFolder = [this] { return playerHost_ ? playerHost_->servedFolder() : options_.files.playerFolder; };
    options.startTerminal = [processes, folder = options.terminalFolder] {
        const QString served = folder();
        if (processes->findProcessByName(platform::kTerminalProgram, served) == 0)
            processes->startHelper(platform::kTerminalProgram, served);
    };
    // Platforms without a screen have no GL surface for the picture; the
    // film still plays (state, time, records) without one.
    const QString platform = QGuiApplication::platformName();
    options.videoOutput = platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
    auto player = std::make_unique<engine::MpvPlayer>(options);
    if (!player->isReady()) {
        errorText_ = player->errorText();
        return false;
    }
    ownPlayer_ = std::move(player);
    player_ = ownPlayer_.get();
    return true;
}

bool Application::showMainWindow(bool show) {
    if (!startPlayer()) return false;
    window_ = std::make_unique<MainWindow>(MainWindowDeps{.files = options_.files,
                                                          .paneFactory = options_.paneFactory,
                                                          .skinPictures = options_.skinPictures,
                                                          .settings = options_.settings});
    // Message boxes belong to the main window: they stay above it, centred on it.
    (options_.dialogs ? *options_.dialogs : *ownDialogs_).setOwner(window_.get());
    createSubsystems();
    startWindow();
    if (show) window_->show();
    return true;
}

void Application::createSubsystems() {
    MainWindow& w = *window_;
    window::MainWindowControls& c = w.controls();
    MainWindowState& state = w.state();
    window::attachPlayerWidget(c, player_->videoWidget());
    layout_ = std::make_unique<window::MainWindowLayout>(c, state, w.skin());
    chrome_ = std::make_unique<window::WindowChrome>(c, state, w.skin(), *layout_, w.settings());
    buttons_ = std::make_unique<window::WindowButtons>(c, state, w.skin(), *layout_, *chrome_);
    painter_ = std::make_unique<window::SkinPainter>(c, state, w.skin(), *layout_, w.settings());
    wirePanes();
    wirePlayback();
    wirePlayerHost();
    wireSettingsDialog();
    wireControls();
    wireDesktop();
    wireShell();
    wireExtras();
    wireSubtitlesAndDrops(*this, options_.dialogs ? *options_.dialogs : *ownDialogs_);
}

void Application::wirePanes() {
    MainWindow& w = *window_;
    window::MainWindowControls& c = w.controls();
    web::PaneSet panes{};
    bool any = false;
    for (int n = 1; n <= 11; ++n) {
        panes[n - 1] = w.pane(n);
        any = any || panes[n - 1];
    }
    if (!any) return;
    // The pane handlers keep a table of plain widgets of their own, so that
    // they stand without the window's widget classes.
    web::PaneControls pc;
    pc.panes = panes;
    pc.Pic1 = c.Pic1;
    pc.wait = c.wait;
    pc.jia = c.jia;
    pc.w3 = c.w3;
    pc.ad_huan = c.ad_huan;
    pc.adp = c.adp;
    pc.bo_pad = c.bo_pad;
    pc.gtv = c.gtv;
    pc.Pic2 = c.Pic2;
    pc.qvod = c.qvod;
    pc.gunt1 = c.gunt1;
    pc.gunt2 = c.gunt2;
    pc.huan = c.huan;
    pc.bo_name = c.bo_name;
    pc.times = c.times;
    pc.myMenu = &w.menus().myMenu;
    pc.webc = &w.menus().webc;
    pc.qvod_m = &w.menus().qvod_m;
    pc.playerUrl = [player = player_] { return player->url(); };
    pc.base = options_.serviceBase;
    paneEvents_ = std::make_unique<web::PaneEvents>(w.state(), pc);
    QObject::connect(c.jia, &window::Label::clicked, paneEvents_.get(), &web::PaneEvents::jia_Click);
    QObject::connect(c.gtv, &window::PictureBox::clicked, paneEvents_.get(), &web::PaneEvents::gtv_Click);
    QObject::connect(c.ggx, &window::PictureBox::clicked, paneEvents_.get(), &web::PaneEvents::ggx_Click);
}

void Application::wirePlayback() {
    MainWindow& w = *window_;
    window::MainWindowControls& c = w.controls();
    MainWindowState& state = w.state();
    web::PaneSet panes{};
    for (int n = 1; n <= 11; ++n) panes[n - 1] = w.pane(n);
    fetcher_ = std::make_unique<platform::TextFetcher>();
    navigator_ = std::make_unique<web::PaneSetNavigator>(panes);
    records_ = std::make_unique<records::RecordStore>(*pages_);

    playback::StopControls stopControls;
    stopControls.bo_pad = c.bo_pad;
    stopControls.ad_huan = c.ad_huan;
    stopControls.bo_ad = c.bo_ad;
    stopControls.Qvodx = c.Qvodx;
    stopControls.gunt1 = c.gunt1;
    stopControls.gunt2 = c.gunt2;
    stopControls.huan = c.huan;
    stopControls.bo_name = c.bo_name;
    stopControls.times = c.times;
    stopControls.qvod = c.qvod;
    stopControls.zhun = c.zhun;
    stopControls.playButton = c.bo_but[0];
    stop_ = std::make_unique<playback::StopCommand>(state, w.session(), *player_, *records_, *c.Timer1, stopControls,
                                                    [painter = painter_.get()] { painter->PaintStopped(); });
    web::PaneEvents* paneEvents = paneEvents_.get();
    auto ggx = [paneEvents] {
        if (paneEvents) paneEvents->ggx_Click();
    };
    auto gtv = [paneEvents] {
        if (paneEvents) paneEvents->gtv_Click();
    };
    views_ = std::make_unique<playback::ViewSwitcher>(state, *stop_, c.Pic2, c.qvod, ggx, gtv);

    window::WindowButtons* buttons = buttons_.get();
    window::WindowSettings* settings = &w.settings();
    TrayIcon* tray = &w.tray();
    router_ = std::make_unique<web::LinkRouter>(
        state, w.session(), web::LinkRouterControls{c.bo_name, c.bo_zt, c.zhun, c.gtv},
        web::LinkRouterServices{
            .player = *player_,
            .records = *records_,
            .views = *views_,
            .panes = *navigator_,
            .fetcher = *fetcher_,
            .processes = processes(),
            .dialogs = options_.dialogs ? *options_.dialogs : *ownDialogs_,
            .Timer1 = *c.Timer1,
            .npc_Click = [buttons](int index) { buttons->npc_Click(index); },
            .readSetting = [settings](const QString& section, const QString& key,
                                      const QString& defaultText) { return settings->read(section, key, defaultText); },
            .showBalloon = [tray](const QString& text) { tray->ShowTrayBalloon(text); }},
        options_.serviceBase);
    router_->installHooks(panes);
    wirePoll();
}

void Application::wirePoll() {
    MainWindow& w = *window_;
    window::MainWindowControls& c = w.controls();
    MainWindowState& state = w.state();
    window::WindowSettings* settings = &w.settings();
    TrayIcon* tray = &w.tray();
    auto readSetting = [settings](const QString& section, const QString& key, const QString& defaultText) {
        return settings->read(section, key, defaultText);
    };
    auto showBalloon = [tray](const QString& text) { tray->ShowTrayBalloon(text); };
    if (!options_.power) ownPower_ = std::make_unique<platform::LogindPowerOff>();
    sequencer_ = std::make_unique<web::EpisodeSequencer>(
        w.session(), web::SequencerServices{*fetcher_, *navigator_, *c.Timer4, readSetting, showBalloon},
        options_.serviceBase);

    playback::PollControls pc;
    pc.zhun = c.zhun;
    pc.times = c.times;
    pc.qvod = c.qvod;
    pc.playButton = c.bo_but[0];
    pc.gunt = c.gunt;
    pc.gunt1 = c.gunt1;
    pc.gunt2 = c.gunt2;
    pc.huan = c.huan;
    pc.bo_ad = c.bo_ad;
    pc.ad_huan = c.ad_huan;
    pc.bo_pad = c.bo_pad;
    pc.Qvodx = c.Qvodx;
    pc.next_s = c.next_s;
    web::EpisodeSequencer* sequencer = sequencer_.get();
    web::PaneNavigator* navigator = navigator_.get();
    window::SkinPainter* painter = painter_.get();
    poll_ = std::make_unique<playback::StatusPoll>(
        state, w.session(), pc,
        playback::PollServices{
            .player = *player_,
            .records = *records_,
            .Timer1 = *c.Timer1,
            .Timer2 = *c.Timer2,
            .Timer4 = *c.Timer4,
            .power = options_.power ? *options_.power : *ownPower_,
            .readSetting = readSetting,
            .showBalloon = showBalloon,
            .paintPlayFace = [painter](bool pause) { painter->PaintPlayFace(pause); },
            .FetchNextEpisode = [sequencer] { sequencer->FetchNextEpisode(); },
            .filmMoved = [sequencer] { sequencer->askAgainAtOnce(); },
            .navigateWeb2 = [navigator](const QString& address) { navigator->navigate(2, address); }},
        QString::fromLatin1(config::kSentinelUrl));
    playback::StatusPoll* poll = poll_.get();
    QObject::connect(c.Timer1, &QTimer::timeout, c.Timer1, [poll] { poll->Timer1_Timer(); });
    QObject::connect(c.Timer2, &QTimer::timeout, c.Timer2, [poll] { poll->Timer2_Timer(); });
    QObject::connect(c.Timer4, &QTimer::timeout, c.Timer4, [poll] { poll->Timer4_Timer(); });
    if (auto* mpv = qobject_cast<engine::MpvPlayer*>(player_))
        QObject::connect(mpv, &engine::MpvPlayer::filmFailed, c.Timer1, [poll] { poll->filmFailed(); });
    // The end of the session keeps where the viewer was: a quit (also by a
    // termination signal) and a logout. At a logout the position is stored
    // at once, since the session manager may end the process any moment
    // after, and then the exit runs without showing a window.
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QObject::connect(gui, &QCoreApplication::aboutToQuit, c.Timer1, [poll] { poll->storePosition(); });
        QTimer* timer1 = c.Timer1;
        QObject::connect(gui, &QGuiApplication::commitDataRequest, timer1, [this, poll, timer1] {
            poll->storePosition();
            QMetaObject::invokeMethod(
                timer1, [this] { endSession(); }, Qt::QueuedConnection);
        });
    }
}

void Application::wireSettingsDialog() {
    MainWindow& w = *window_;
    const ProgramFiles files = options_.files;
    engine::Player* player = player_;
    platform::Shell* shell = shell_;
    dialogs::SettingsDialogServices services{
        .settings = w.settings(),
        .skin = w.skin(),
        .dialogs = options_.dialogs ? *options_.dialogs : *ownDialogs_,
        // The engine keeps its configuration in the program's player folder,
        // whatever folder the settings remember.
        .readCachePath = [files](const QString&) { return engine::readCachePath(files, QString()); },
        .writeCachePath =
            [files](const QString&, const QString& path) {
                return player_host::WritePlayerCachePath(files.playerFolder, path);
            },
        // The download service reads its cache folder when it starts: it is
        // ended (with the stand-alone players) before the change and started
        // again after it, so the next film arrives in the new folder.
        .stopService =
            [host = playerHost_.get()](const QString&) {
                host->EndEveryProcess(platform::kPlayerProgram);
                host->EndEveryProcess(platform::kTerminalProgram);
            },
        .startService =
            [player, processes = &processes(), folder = files.playerFolder](const QString&) {
                processes->startHelper(platform::kTerminalProgram, folder);
                player->configurationChanged();
            },
        .openUrl =
            [shell](const QString& address) {
                if (shell) shell->openUrl(address);
                else platform::DesktopShell().openUrl(address);
            },
        .defaultCacheFolder = files.cacheFolder,
        .siteAddress = QString::fromUtf8(config::kDownloadSite)};
    settingsDialog_ = std::make_unique<dialogs::SettingsDialog>(&w, std::move(services));
    painter_->repaintSettingsDialog = [dialog = settingsDialog_.get()] { dialog->F2_Paint(); };
}

void Application::wireDesktop() {
    if (!options_.desktopBus) return;
    MainWindow* w = window_.get();
    engine::Player* player = player_;
    playback::TransportCommands* transport = transport_.get();
    web::EpisodeSequencer* sequencer = sequencer_.get();
    window::MainWindowLayout* layout = layout_.get();
    QLabel* title = w->controls().bo_name;
    // The desktop's media controls are the player bar's buttons: the records
    // and timers behave exactly as with the mouse.
    const auto playing = [player] { return player->playState() == engine::PlayState::Playing; };
    mediaControls_ = std::make_unique<DesktopMediaControls>(
        *player_,
        DesktopMediaControls::Handlers{.play =
                                           [transport, playing] {
                                               if (!playing()) transport->playPause();
                                           },
                                       .pause =
                                           [transport, playing] {
                                               if (playing()) transport->playPause();
                                           },
                                       .stop = [transport] { transport->stop(); },
                                       .stepEpisode =
                                           [transport](int direction) {
                                               direction == 1 ? transport->previousEpisode() : transport->nextEpisode();
                                           },
                                       .canStep = [sequencer](int direction) { return sequencer->canStep(direction); },
                                       .episodeIndex = [sequencer] { return sequencer->episodeIndex(); },
                                       .title = [title] { return title->text(); },
                                       .volumeSet = [layout](int volume) { layout->placeVolumeKnob(volume); },
                                       .raise =
                                           [w] {
                                               w->showNormal();
                                               w->raise();
                                               w->activateWindow();
                                           },
                                       .rate = [speed = speed_.get()] { return speed->speed(); },
                                       .setRate = [speed = speed_.get()](double rate) { speed->setSpeed(rate); }});
    QString entry = kDesktopEntryName;
    entry.chop(int(qstrlen(".desktop")));
    mpris_ = std::make_unique<platform::MprisService>(*mediaControls_, options_.desktopBus->session, entry);
    inhibitor_ = std::make_unique<platform::DBusScreenInhibitor>(*options_.desktopBus, QStringLiteral("播放中"));

    // What the desktop shows and whether the screen may blank follow the
    // player, whichever way it was told to play, pause or stop.
    auto* watch = new QTimer(w);
    watch->setInterval(1000);
    platform::MprisService* mpris = mpris_.get();
    platform::ScreenInhibitor* inhibitor = inhibitor_.get();
    QObject::connect(watch, &QTimer::timeout, watch, [mpris, inhibitor, player] {
        mpris->refresh();
        inhibitor->setInhibited(player->playState() == engine::PlayState::Playing);
    });
    watch->start();
    if (auto* app = QCoreApplication::instance())
        QObject::connect(app, &QCoreApplication::aboutToQuit, watch, [inhibitor] { inhibitor->setInhibited(false); });
}

void Application::wireShell() {
    MainWindow& w = *window_;
    window::MainWindowControls& c = w.controls();
    MainWindowState& state = w.state();
    PopupMenus& menus = w.menus();
    platform::UserDialogs& dialogs = options_.dialogs ? *options_.dialogs : *ownDialogs_;
    if (!shell_) {
        ownShell_ = std::make_unique<platform::DesktopShell>();
        shell_ = ownShell_.get();
    }
    platform::Shell* desktop = shell_;
    window::WindowButtons* buttons = buttons_.get();
    window::WindowChrome* chrome = chrome_.get();
    web::LinkRouter* router = router_.get();
    TrayIcon* tray = &w.tray();
    const ProgramFiles files = options_.files;
    auto openFolder = [desktop](const QString& folder) { desktop->openUrl(QUrl::fromLocalFile(folder).toString()); };

    recordCommands_ = std::make_unique<records::RecordCommands>(
        state,
        records::RecordCommandServices{
            .records = *records_,
            .dialogs = dialogs,
            .downloadFolder =
                [files] {
                    QString folder = engine::readCachePath(files, files.cacheFolder);
                    if (!folder.endsWith(u'/')) folder += u'/';
                    return folder;
                },
            .folderFiles =
                [](const QString& folder) {
                    QStringList names;
                    ListFolderFiles(folder, QStringLiteral("*.*"), names);
                    return names;
                },
            .navigateWeb3 = [router](const QString& link) { router->Web3_BeforeNavigate2(link); },
            .showBalloon = [tray](const QString& text) { tray->ShowTrayBalloon(text); },
            .openFolder = openFolder,
            .popupTaskListMenu = [&menus] { menus.c_fie.popup(QCursor::pos()); },
            .keptOnTop = [&c] { return c.npc[4]->tip() == window::text::kCancelOnTop; },
            .releaseOnTop = [buttons] { buttons->npc_Click(4); },
            .resetQkColour = [chrome] { chrome->resetHoverColours(); }});
    records::RecordCommands* records = recordCommands_.get();
    QObject::connect(c.qk, &window::Label::clicked, records, &records::RecordCommands::qk_Click);

    const std::function<void()> endProcess =
        options_.endProcess ? options_.endProcess : std::function<void()>([] { QCoreApplication::quit(); });
    shellCommands_ = std::make_unique<ShellCommands>(
        state, &w, c.Timer3, &menus.r_m, c.npc[5],
        ShellServices{.settings = w.settings(),
                      .dialogs = dialogs,
                      .endHelper = [host = playerHost_.get()](const QString& name) { host->EndEveryProcess(name); },
                      .tray = w.tray(),
                      .pressStop = [transport = transport_.get()] { transport->bo_but_Click(1); },
                      .cancelRequests = [router] { router->cancelPlayRequest(); },
                      .closeMenus =
                          [&menus] {
                              for (QMenu* m : {&menus.myMenu, &menus.r_m, &menus.webc, &menus.c_fie, &menus.qvod_m})
                                  m->close();
                          },
                      .closeNotice =
                          [this] {
                              // The pop-up notice ends with the program: its timers would show it again.
                              if (!extras_ || !extras_->popup()) return;
                              extras_->popup()->Timerc()->stop();
                              extras_->popup()->Timert()->stop();
                              extras_->popup()->close();
                          },
                      .closeSettings =
                          [dialog = settingsDialog_.get()] {
                              if (dialog->window()) dialog->window()->close();
                          },
                      .showSideWindow =
                          [this, end = endProcess] {
                              // The process ends when the side window closes, or at once without one.
                              if (!extras_ || !extras_->showSideWindowAtExit(end)) end();
                          },
                      .endProcess = endProcess,
                      .leaveCompactMode = [chrome] { chrome->jbi_Click(); },
                      .npc_Click = [buttons](int index) { buttons->npc_Click(index); },
                      .switchView = [views = views_.get()](View view) { views->SwitchView(view); },
                      .l_com = [router](QString& text) { router->l_com(text); },
                      .popup = {}});
    ShellCommands* shell = shellCommands_.get();
    buttons_->actions.close = [shell] { shell->closeButton(); };
    // The window manager's close takes the close button's path (question,
    // tray or exit); once the exit runs, the window may go.
    w.closeRequested = [shell] {
        if (!shell->exiting()) shell->closeButton();
        return shell->exiting();
    };
    buttons_->actions.mainMenu = [shell] { shell->popupMainMenu(); };

    dialogs::MenuCommands mc;
    web::PaneNavigator* navigator = navigator_.get();
    mc.browsing = dialogs::browsingCommandsFor(
        c.Web[1], [navigator](const QString& address) { navigator->navigate(1, address); }, options_.serviceBase);
    mc.applySkin = [painter = painter_.get()](int index) { painter->p_p(index); };
    mc.exit = [shell] { shell->ttt_v(); };
    mc.openUrl = [desktop](const QString& address) { desktop->openUrl(address); };
    mc.site = QString::fromUtf8(config::kDownloadSite);
    mc.CCC = [records] { records->CCC(); };
    mc.ddd = [records] { records->ddd(); };
    mc.eee = [records] { records->eee(); };
    mc.qk_xl = [records] { records->qk_xl(); };
    mc.qk_xw = [records] { records->qk_xw(); };
    mc.window = &w;
    mc.onTopButton = c.npc[4];
    mc.zhi_d = [buttons](int on) { buttons->zhi_d(on); };
    menus_ = std::make_unique<dialogs::ContextMenus>(
        dialogs::MenuHolder{menus.r_m, menus.myMenu, menus.webc, menus.c_fie}, std::move(mc));
    menus_->showSettingsDialog = [dialog = settingsDialog_.get()](int page) {
        dialog->open();
        if (dialogs::SettingsWindow* window = dialog->window()) {
            if (page >= 0) window->d_z_Click(page);
            window->activateWindow();
        }
    };
    if (!chrome_->setCompactMenuCaption) {
        chrome_->setCompactMenuCaption = [&menus](const QString& caption) {
            if (QAction* item = dialogs::menuAction(menus.qvod_m, QStringLiteral("q_jing"))) item->setText(caption);
        };
    }

    // A second start on the same program folder hands its file over here.
    instance_ = std::make_unique<SingleInstance>();
    instance_->listen(SingleInstance::serverName(options_.files.folder));
    QObject::connect(instance_.get(), &SingleInstance::commandReceived, shell,
                     [shell](const QString& text) { shell->Form_LinkExecute(text); });
}

void Application::wireExtras() {
    MainWindow& w = *window_;
    window::MainWindowControls& c = w.controls();
    if (!shell_) {
        ownShell_ = std::make_unique<platform::DesktopShell>();
        shell_ = ownShell_.get();
    }
    window::WindowChrome* chrome = chrome_.get();
    extras_ = std::make_unique<extras::OnlineExtras>(
        w.state(), extras::ExtrasControls{c.Timer5, c.Timerg, c.bo_foot, c.La[0], c.bo_pad},
        extras::ExtrasServices{.fetcher = *fetcher_,
                               .dialogs = options_.dialogs ? *options_.dialogs : *ownDialogs_,
                               .shell = *shell_,
                               .updateProgram = options_.files.folder.isEmpty()
                                                    ? QString()
                                                    : options_.files.folder + QStringLiteral("/update.exe"),
                               // An accepted update leaves through the program's own exit.
                               .exitProgram =
                                   [this] {
                                       QMetaObject::invokeMethod(
                                           QCoreApplication::instance(), [this] { exit(); }, Qt::QueuedConnection);
                                   },
                               .resetHoverColours = [chrome] { chrome->resetHoverColours(); }},
        options_.serviceBase);
    extras::ScrollingNotice* notice = &extras_->notice();
    chrome_->clearNoticeHover = [notice] { notice->clearHover(); };
    // A page's link to a new window opens in the system's browser, never in
    // a window of ours.
    platform::Shell* shell = shell_;
    for (int n = 1; n <= 11; ++n) {
        if (web::WebPane* pane = w.pane(n))
            QObject::connect(pane, &web::WebPane::newWindowRequested, pane,
                             [shell](const QString& address) { extras::openInBrowser(*shell, address); });
    }
    if (menus_) {
        extras::OnlineExtras* extras = extras_.get();
        QAction* item = menus_->updateCheckItem();
        QObject::connect(item, &QAction::triggered, item, [extras] { extras->shengji(); });
    }
}

void Application::exit() {
    if (shellCommands_) {
        shellCommands_->ttt_v();
    } else if (options_.endProcess) {
        options_.endProcess();
    } else {
        QCoreApplication::quit();
    }
}

void Application::endSession() {
    if (shellCommands_) {
        shellCommands_->endSession();
    } else {
        exit();
    }
}

void Application::wirePlayerHost() {
    MainWindow& w = *window_;
    QTimer* timer3 = w.controls().Timer3;
    window::WindowSettings* settings = &w.settings();
    playerHost_ = std::make_unique<player_host::PlayerHost>(
        w.state(),
        player_host::PlayerHostServices{
            .processes = processes(),
            .Timer3 = *timer3,
            .readSetting = [settings](const QString& section, const QString& key,
                                      const QString& defaultText) { return settings->read(section, key, defaultText); },
            .writeSetting = [settings](const QString& section, const QString& key,
                                       const QString& value) { settings->write(section, key, value); },
            .defaultFolder = options_.files.playerFolder});
    player_host::PlayerHost* host = playerHost_.get();
    QObject::connect(timer3, &QTimer::timeout, timer3, [host] { host->PlayerHostCheck(); });
}

void Application::storePlayPosition() {
    if (poll_) poll_->storePosition();
}

void Application::startWindow() {
    MainWindow& w = *window_;
    MainWindowState& state = w.state();

    // Work area. Maximised, a frameless window is given the work area by the
    // window manager itself, which leaves the panels and the taskbar visible;
    // no minimum size is imposed on it (the resize handler keeps its own).
    if (const QScreen* screen = QGuiApplication::primaryScreen()) state.WorkArea = screen->availableGeometry();
    state.WorkAreaWidth = state.WorkArea.width();
    state.WorkAreaHeight = state.WorkArea.height();
    w.setMinimumSize(0, 0);

    // Settings.
    state.SkinApplied = 0;
    auto& s = w.settings();
    const int skinIndex = window::readNumber(s, QStringLiteral("Skin"), QStringLiteral("Num"));
    const QString userId = s.read(QStringLiteral("user"), QStringLiteral("Name"), QStringLiteral("0"));
    state.SavedWidth = window::readNumber(s, QStringLiteral("S_q"), QStringLiteral("h_w"));
    state.SavedHeight = window::readNumber(s, QStringLiteral("S_q"), QStringLiteral("h_h"));
    state.KeepSizeOption = window::readNumber(s, QStringLiteral("S_q"), QStringLiteral("s_size"));

    // Size, in twips as stored.
    const bool keep = state.KeepSizeOption == 2;
    const int width = window::pixelsFromTwips(keep ? state.SavedWidth : kStartWidthTwips);
    const int height = window::pixelsFromTwips(keep ? state.SavedHeight : kStartHeightTwips);
    w.resize(qMax(width, 1), qMax(height, 1));

    state.MainTab = MainTab::Catalogue;
    state.SideTab = SideTab::TaskList;

    // Only the two skins exist; anything else, a negative number included, starts skin 0.
    painter_->p_p(skinIndex == 1 ? 1 : 0);

    // First pages.
    web::PaneSet panes{};
    for (int n = 1; n <= 11; ++n) panes[n - 1] = w.pane(n);
    web::navigateFirstPages(panes, options_.serviceBase, options_.files, userId);

    w.tray().AddTrayIcon(&w, &w.menus().r_m, w.windowTitle());

    state.CurrentView = View::Nothing;
    state.HomePageFailed = 0;
    state.PauseAdState = 0;
    state.StopAdState = 0;
    state.SideWindowOnExit = QStringLiteral("0");
    state.RightButtonFlag = 0;

    player_->setAdPageUrl(options_.serviceBase + QStringLiteral("js/ads/qvodad.html"));
    layout_->placeVolumeKnob(player_->volume());

    // The window sees every key before the control with the focus, a
    // browser pane's included; only while it is the active window.
    playback::KeyCommands* keys = keys_.get();
    keyPreview_ = std::make_unique<window::KeyPreview>(&w, [keys, &w](QKeyEvent* e) {
        return w.isActiveWindow() && (keys->Form_KeyDown(e->key()) || keys->extraKeyDown(e->key(), e->modifiers()));
    });

    if (!options_.playTarget.isEmpty()) {
        // A film from the command line is shown in the player view, as one
        // handed over by a second start: its buttons and keys answer.
        buttons_->npc_Click(9);
        views_->SwitchView(View::Player);
        QString text = options_.playTarget;
        router_->l_com(text);
    }
}

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

void Application::wireControls() {
    MainWindow& w = *window_;
    window::MainWindowControls& c = w.controls();
    MainWindowState& state = w.state();
    window::WindowButtons* buttons = buttons_.get();
    web::EpisodeSequencer* sequencer = sequencer_.get();
    platform::UserDialogs* dialogs = options_.dialogs ? options_.dialogs : ownDialogs_.get();
    window::Skin* skin = &w.skin();
    auto npc_Click = [buttons](int index) { buttons->npc_Click(index); };

    playback::TransportControls tc;
    for (int i = 0; i < 8; ++i) tc.bo_but[i] = c.bo_but[i];
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
    tc.onTopButton = c.npc[4];
    transport_ = std::make_unique<playback::TransportCommands>(
        state, w.session(), tc,
        playback::TransportServices{
            .player = *player_,
            .stop = *stop_,
            .views = *views_,
            .records = *records_,
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
            .setMuteCaption = [this](const QString& caption) { playerMenu_->setMuteCaption(caption); }});
    playback::TransportCommands* transport = transport_.get();
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
    barMouse_ = std::make_unique<playback::PlayerBarMouse>(state, bc, *player_, *transport_,
                                                           [qvod_m] { qvod_m->popup(QCursor::pos()); });
    playback::PlayerBarMouse* bars = barMouse_.get();
    using window::Label;
    using window::PictureBox;
    QObject::connect(c.gunt, &PictureBox::pressed, c.gunt,
                     [bars](int, Qt::MouseButton b, QPoint p) { bars->gunt_MouseDown(b, p); });
    QObject::connect(c.gunt, &PictureBox::released, c.gunt, [bars] { bars->gunt_MouseUp(); });
    QObject::connect(c.gunt1, &PictureBox::moved, c.gunt1,
                     [bars](int, Qt::MouseButtons b, QPoint p) { bars->gunt1_MouseMove(int(b), p); });
    QObject::connect(c.gunt1, &PictureBox::released, c.gunt1, [bars] { bars->gunt1_MouseUp(); });
    for (Label* part : {c.gunt2, c.huan}) {
        QObject::connect(part, &Label::pressed, part,
                         [bars](Qt::MouseButton b, QPoint p) { bars->playedPart_MouseDown(b, p); });
        QObject::connect(part, &Label::released, part, [bars] { bars->playedPart_MouseUp(); });
    }
    QObject::connect(c.yin, &PictureBox::pressed, c.yin,
                     [bars](int, Qt::MouseButton b, QPoint p) { bars->yin_MouseDown(b, p); });
    QObject::connect(c.bo_y, &Label::pressed, c.bo_y,
                     [bars](Qt::MouseButton b, QPoint p) { bars->bo_y_MouseDown(b, p); });
    QObject::connect(c.bo_v, &PictureBox::moved, c.bo_v,
                     [bars](int, Qt::MouseButtons b, QPoint p) { bars->bo_v_MouseMove(int(b), p); });
    QObject::connect(c.adp, &PictureBox::pressed, c.adp, [bars](int, Qt::MouseButton b) { bars->adp_MouseDown(b); });
    QObject::connect(c.Lqvod, &Label::pressed, c.Lqvod, [bars](Qt::MouseButton b) { bars->picture_MouseDown(b); });
    QObject::connect(c.Lqvod, &Label::moved, c.Lqvod, [bars] { bars->picture_MouseMove(); });
    QObject::connect(c.Lqvod, &Label::doubleClicked, c.Lqvod, [bars] { bars->picture_DblClick(); });
    // The picture itself and the advertisement area are plain widgets.
    QWidget* picture = c.QvodC;
    QWidget* adArea = c.bo_ad;
    engine::Player* player = player_;
    pictureMouse_ = std::make_unique<MouseWatcher>([bars, picture, adArea, player](QObject* watched, QMouseEvent* e) {
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
    if (picture) picture->installEventFilter(pictureMouse_.get());
    adArea->installEventFilter(pictureMouse_.get());

    keys_ = std::make_unique<playback::KeyCommands>(state, *player_, *c.Timer1, *transport_, *barMouse_);

    window::WindowChrome* chrome = chrome_.get();
    playerMenu_ = std::make_unique<playback::PlayerMenu>(
        *qvod_m, state, *player_, *transport_,
        playback::PlayerMenuActions{.jbi_Click = [chrome] { chrome->jbi_Click(); }, .npc_Click = npc_Click});
    playback::PlayerMenu* menu = playerMenu_.get();
    chrome_->setCompactMenuCaption = [menu](const QString& caption) { menu->setCompactCaption(caption); };
    wirePlayerExtras();
    wireSeriesSkip(w, *player_, *playerMenu_, options_.files);
}

void Application::wirePlayerExtras() {
    MainWindow& w = *window_;
    TrayIcon* tray = &w.tray();
    QLabel* title = w.controls().bo_name;
    speed_ = std::make_unique<playback::PlaybackSpeed>(w.session(), *player_);
    capture_ = std::make_unique<playback::FrameCapture>(
        playback::CaptureServices{.player = *player_,
                                  .title = [title] { return title->text(); },
                                  .showBalloon = [tray](const QString& text) { tray->ShowTrayBalloon(text); }});
    playback::PlaybackSpeed* speed = speed_.get();
    playback::FrameCapture* capture = capture_.get();
    playback::PlayerMenu* menu = playerMenu_.get();
    menu->addExtras(*speed, [capture] { capture->capture(); });
    speed->changed = [menu](double now) { menu->markSpeed(now); };
    keys_->setExtras({.slower = [speed] { speed->slower(); },
                      .faster = [speed] { speed->faster(); },
                      .normal = [speed] { speed->normal(); },
                      .capture = [capture] { capture->capture(); }});
    // What plays next is known once its first picture shows.
    if (auto* mpv = qobject_cast<engine::MpvPlayer*>(player_))
        QObject::connect(mpv, &engine::MpvPlayer::firstFrame, w.controls().Timer1, [speed] { speed->filmStarted(); });
}

bool Application::grabScreenshot(const QString& path) const { return window_ && window_->grabScreenshot(path); }

}  // namespace qarvel
