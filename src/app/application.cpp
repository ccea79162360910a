#include "app/application.h"

#include "app/main_window/main_window.h"
#include "engine/mpv_player.h"
#include "web/first_pages.h"
#include "web/pane_events.h"
#include "web/web_pane.h"
#include "window/key_preview.h"
#include "window/main_window_layout.h"
#include "window/skin_painter.h"
#include "window/units.h"
#include "window/window_buttons.h"
#include "window/window_chrome.h"

#include <QGuiApplication>
#include <QScreen>

namespace qarvel {

namespace {

// Window size when the stored size is not to be kept, twips.
constexpr int kStartWidthTwips = 14850;
constexpr int kStartHeightTwips = 9830;

}  // namespace

Application::Application(ApplicationOptions options) : options_(std::move(options)), player_(options_.player) {}

Application::~Application() {
    // The panes report their last loads while the controls are torn down;
    // nobody may act on them then. The window goes before the player it shows.
    // Subsystems go first, newest first: some are children of the window.
    keyPreview_.reset();
    paneEvents_.reset();
    painter_.reset();
    buttons_.reset();
    chrome_.reset();
    layout_.reset();
    window_.reset();
}

bool Application::startPlayer() {
    if (player_) return true;
    engine::MpvPlayer::Options options;
    options.files = options_.files;
    options.sources = {options_.serviceBase + QStringLiteral("seed/")};
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

    state.MainTab = 8;
    state.SideTab = 12;

    // Only the two skins exist; anything else, a negative number included, starts skin 0.
    painter_->p_p(skinIndex == 1 ? 1 : 0);

    // First pages.
    web::PaneSet panes{};
    for (int n = 1; n <= 11; ++n) panes[n - 1] = w.pane(n);
    web::navigateFirstPages(panes, options_.serviceBase, options_.files, userId);

    w.tray().AddTrayIcon(&w, &w.menus().r_m, w.windowTitle());

    state.RecordKey = QStringLiteral("0");
    state.ResumeDone = 0;
    state.CurrentView = 0;
    state.HomePageFailed = 0;
    state.PauseAdState = 0;
    state.StopAdState = 0;
    state.SideWindowOnExit = QStringLiteral("0");
    state.RightButtonFlag = 0;

    player_->setAdPageUrl(options_.serviceBase + QStringLiteral("js/ads/qvodad.html"));
    layout_->placeVolumeKnob(player_->volume());

    // Key preview: the keyboard commands attach here.
    keyPreview_ = std::make_unique<window::KeyPreview>(&w, window::KeyPreview::Handler{});

    if (!options_.playTarget.isEmpty() && options_.lComm) options_.lComm(options_.playTarget);
}

bool Application::grabScreenshot(const QString& path) const { return window_ && window_->grabScreenshot(path); }

}  // namespace qarvel
