#include "app/application.h"

#include "app/main_window/main_window.h"
#include "app/player_host/player_host.h"
#include "app/shell_commands.h"
#include "app/system_services.h"
#include "app/wire_series_skip.h"
#include "app/wire_subtitles_and_drops.h"
#include "app/wiring.h"
#include "common/logging.h"
#include "engine/mpv_player.h"
#include "platform/power_off.h"
#include "platform/process_finder.h"
#include "platform/user_dialogs.h"
#include "playback/key_commands.h"
#include "playback/status_poll.h"
#include "playback/view_switcher.h"
#include "records/record_list_page.h"
#include "state/write_failure_notice.h"
#include "web/first_pages.h"
#include "web/link_router.h"
#include "web/list_pane_reloads.h"
#include "web/pane_navigator.h"
#include "web/web_environment.h"
#include "web/web_pane.h"
#include "window/key_preview.h"
#include "window/main_window_layout.h"
#include "window/skin_painter.h"
#include "window/units.h"
#include "window/window_buttons.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QScreen>

namespace qarvel {

namespace {

// Window size when the stored size is not to be kept, twips.
constexpr int kStartWidthTwips = 14850;
constexpr int kStartHeightTwips = 9830;

}  // namespace

Application::Application(ApplicationOptions options) : options_(std::move(options)) {
    AppParts& p = parts_;
    p.player = options_.player;
    if (!options_.dialogs) p.ownDialogs = std::make_unique<platform::QtUserDialogs>();
    p.dialogs = options_.dialogs ? options_.dialogs : p.ownDialogs.get();
    if (!options_.processes) p.ownProcesses = std::make_unique<platform::LinuxProcessFinder>();
    p.processes = options_.processes ? options_.processes : p.ownProcesses.get();
    if (!options_.power) p.ownPower = std::make_unique<platform::LogindPowerOff>();
    p.power = options_.power ? options_.power : p.ownPower.get();
    p.shell = options_.desktop;
    p.writeFailures = std::make_unique<WriteFailureNotice>();
    // Every rebuilt list page is shown again in its pane. Start-up writes the
    // pages before the panes exist; nothing is shown then.
    auto showPage = [&p](records::RecordFile file, const QString& page) {
        if (p.listReloads) p.listReloads->show(file, page);
    };
    p.pages = std::make_unique<records::ListPageWriter>(options_.files, showPage);
}

Application::~Application() = default;

StartupResult Application::start(platform::PlayerComponent& component, platform::Shell& shell) {
    if (!parts_.shell) parts_.shell = &shell;
    StartupEnvironment env;
    env.files = options_.files;
    env.component = &component;
    env.dialogs = parts_.dialogs;
    env.shell = &shell;
    env.macAddress = [] { return GetMacAddress(); };
    env.randomUserId = [] { return MakeRandomUserId(); };
    env.renderRecordList = [this](const QString& recordFile) {
        parts_.pages->RefreshRecordList(records::recordFileForName(recordFile));
    };
    env.sendCatalogueAhead = [this] { sendCatalogueAhead(); };
    env.showMainWindow = [this] {
        if (showMainWindow()) return true;
        qCCritical(lcClient) << "the player could not start:" << errorText_;
        return false;
    };
    env.playerFailure = [this] { return errorText_; };
    env.writeFailed = [notice = parts_.writeFailures.get()](WriteKind kind, const QString& what) {
        notice->failed(kind, what);
    };
    return StartupSequence(env).run();
}

void Application::sendCatalogueAhead() {
    // The catalogue's pane, whose making starts the browser engine (most of
    // the window's cost), goes before the player and the rest of the window.
    // The navigation hook comes with the window's wiring; the catalogue's
    // own address needs none.
    if (options_.paneFactory) return;
    catalogueAhead_ = std::make_unique<web::WebPane>(nullptr, web::createSharedProfile(options_.files));
    catalogueAhead_->navigate(options_.serviceBase);
}

bool Application::startPlayer() {
    if (parts_.player) return true;
    if (options_.makePlayer) {
        parts_.ownPlayer = options_.makePlayer(errorText_);
        parts_.player = parts_.ownPlayer.get();
        return parts_.player != nullptr;
    }
    engine::MpvPlayer::Options options;
    options.files = options_.files;
    options.sources = {options_.serviceBase + QStringLiteral("seed/")};
    // Films are fetched by the download service of the player folder the host
    // check serves ("qvodw" may name another than the program's own), which is
    // started again whenever the player finds it gone.
    platform::ProcessFinder* processes = parts_.processes;
    options.terminalFolder = [this] {
        return parts_.playerHost ? parts_.playerHost->servedFolder() : options_.files.playerFolder;
    };
    options.startTerminal = [processes, folder = options.terminalFolder] {
        platform::startHelperProcess(*processes, platform::kTerminalProgram, folder());
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
    parts_.ownPlayer = std::move(player);
    parts_.player = parts_.ownPlayer.get();
    return true;
}

bool Application::showMainWindow(bool show) {
    if (!startPlayer()) return false;
    parts_.window = std::make_unique<MainWindow>(MainWindowDeps{.files = options_.files,
                                                                .paneFactory = options_.paneFactory,
                                                                .catalogueAhead = catalogueAhead_.release(),
                                                                .skinPictures = options_.skinPictures,
                                                                .settings = options_.settings});
    // Message boxes belong to the main window: they stay above it, centred on it.
    parts_.dialogs->setOwner(parts_.window.get());
    wireWindow(*this);
    wirePanes(*this);
    wirePlayback(*this);
    wirePoll(*this);
    wirePlayerHost(*this);
    wireSettingsDialog(*this);
    wireControls(*this);
    wirePlayerExtras(*this);
    wireSeriesSkip(*parts_.window, *parts_.player, *parts_.playerMenu, options_.files);
    wireDesktop(*this);
    wireShell(*this);
    wireExtras(*this);
    wireSubtitlesAndDrops(*this, *parts_.dialogs);
    startWindow();
    if (show) parts_.window->show();
    wireWriteFailures(*this);
    return true;
}

void Application::exit() {
    if (parts_.shellCommands) {
        parts_.shellCommands->exitProgram();
    } else if (options_.endProcess) {
        options_.endProcess();
    } else {
        QCoreApplication::quit();
    }
}

void Application::endSession() {
    if (parts_.shellCommands) {
        parts_.shellCommands->endSession();
    } else {
        exit();
    }
}

void Application::storePlayPosition() {
    if (parts_.poll) parts_.poll->storePosition();
}

void Application::startWindow() {
    MainWindow& w = *parts_.window;
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
    parts_.painter->applySkin(skinIndex == 1 ? 1 : 0);

    // First pages.
    // The download service (started by Timer3's check) and what the first
    // film needs wait until the catalogue has loaded: until then they would
    // take the processor the catalogue needs.
    QTimer* hostCheck = w.controls().playerHostCheckTimer;
    hostCheck->stop();
    web::navigateFirstPages(panesOf(w), options_.serviceBase, options_.files, userId,
                            [hostCheck, player = parts_.player] {
                                hostCheck->start();
                                player->prepareForFilms();
                            });

    w.tray().AddTrayIcon(&w, &w.menus().trayMenu, w.windowTitle());

    state.CurrentView = View::Nothing;
    state.HomePageFailed = 0;
    state.PauseAdState = 0;
    state.StopAdState = 0;
    state.SideWindowOnExit = QStringLiteral("0");
    state.RightButtonFlag = 0;

    parts_.player->setAdPageUrl(options_.serviceBase + QStringLiteral("js/ads/qvodad.html"));
    parts_.layout->placeVolumeKnob(parts_.player->volume());

    // The window sees every key before the control with the focus, a
    // browser pane's included; only while it is the active window.
    playback::KeyCommands* keys = parts_.keys.get();
    parts_.keyPreview = std::make_unique<window::KeyPreview>(&w, [keys, &w](QKeyEvent* e) {
        return w.isActiveWindow() && (keys->onPlayerKey(e->key()) || keys->extraKeyDown(e->key(), e->modifiers()));
    });

    if (!options_.playTarget.isEmpty()) {
        // A film from the command line is shown in the player view, as one
        // handed over by a second start: its buttons and keys answer.
        parts_.buttons->pressWindowButton(MainTab::Player);
        parts_.views->showView(View::Player);
        QString text = options_.playTarget;
        parts_.router->runCommandText(text);
    }
}

bool Application::grabScreenshot(const QString& path) const {
    return parts_.window && parts_.window->grabScreenshot(path);
}

}  // namespace qarvel
