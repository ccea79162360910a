#include "app/main_window/main_window.h"

#include "common/build_config.h"
#include "engine/player.h"
#include "resources/skin_resources.h"
#include "web/first_pages.h"
#include "web/pane_events.h"
#include "web/web_environment.h"
#include "web/web_pane.h"
#include "window/units.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace qarvel {

namespace {

// Window size when the stored size is not to be kept, twips.
constexpr int kStartWidthTwips = 14850;
constexpr int kStartHeightTwips = 9830;

window::PaneFactory browserPanes(const ProgramFiles& files) {
    return
        [files](int, QWidget* parent) -> QWidget* { return new web::WebPane(parent, web::createSharedProfile(files)); };
}

window::Skin::PictureLoader compiledInPictures(window::Skin::PictureLoader given) {
    return given ? std::move(given) : window::Skin::PictureLoader(&skinPicture);
}

}  // namespace

MainWindow::MainWindow(MainWindowDeps deps)
    : QWidget(nullptr),
      player_(deps.player),
      files_(deps.files),
      serviceBase_(deps.serviceBase),
      commandLine_(deps.commandLine),
      lComm_(std::move(deps.lComm)),
      ownSettings_(deps.settings ? nullptr : std::make_unique<window::ConfigFileSettings>(state_)),
      settings_(deps.settings ? deps.settings : ownSettings_.get()),
      skin_(compiledInPictures(std::move(deps.skinPictures)), &skinLogo) {
    // No system frame: the skin draws it. The minimise and maximise flags
    // let the taskbar minimise and restore the window all the same.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinMaxButtonsHint | Qt::WindowSystemMenuHint);
    setWindowIcon(programIcon());
    setAttribute(Qt::WA_DeleteOnClose, false);

    c_ = window::buildMainWindowControls(this, deps.paneFactory ? deps.paneFactory : browserPanes(files_));
    window::attachPlayerWidget(c_, player_.videoWidget());
    layout_ = std::make_unique<window::MainWindowLayout>(c_, state_, skin_);
    chrome_ = std::make_unique<window::WindowChrome>(c_, state_, skin_, *layout_, *settings_);
    buttons_ = std::make_unique<window::WindowButtons>(c_, state_, skin_, *layout_, *chrome_);
    painter_ = std::make_unique<window::SkinPainter>(c_, state_, skin_, *layout_, *settings_);
    tray_.balloonFallback = [this](const QString& text) { c_.zhun->setText(text); };
    setUpTimers();
    wirePanes();
    startUp();
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    // The panes report their last loads while the controls are torn down;
    // nobody may act on them then.
    delete paneEvents_;
    paneEvents_ = nullptr;
    tray_.RemoveTrayIcon();
}

void MainWindow::setUpTimers() {
    struct TimerSetting {
        QTimer* timer;
        const char* name;
        int interval;
        bool enabled;
        bool once;  // handlers that switch their timer off after one tick
    };
    const TimerSetting settings[] = {
        {&Timer1, "Timer1", 1000, true, false}, {&Timer2, "Timer2", 2000, false, true},
        {&Timer3, "Timer3", 10, true, true},    {&Timer4, "Timer4", 50000, false, false},
        {&Timer5, "Timer5", 6000, true, true},  {&Timerg, "Timerg", 50, false, false},
    };
    for (const TimerSetting& s : settings) {
        s.timer->setParent(this);
        s.timer->setObjectName(QString::fromLatin1(s.name));
        s.timer->setInterval(s.interval);
        s.timer->setSingleShot(s.once);
        if (s.enabled) s.timer->start();
    }
}

void MainWindow::wirePanes() {
    web::PaneSet panes{};
    bool any = false;
    for (int n = 1; n <= 11; ++n) {
        panes[n - 1] = qobject_cast<web::WebPane*>(c_.Web[n]);
        any = any || panes[n - 1];
    }
    if (!any) return;
    web::PaneControls pc;
    pc.panes = panes;
    pc.Pic1 = c_.Pic1;
    pc.wait = c_.wait;
    pc.jia = c_.jia;
    pc.w3 = c_.w3;
    pc.ad_huan = c_.ad_huan;
    pc.adp = c_.adp;
    pc.bo_pad = c_.bo_pad;
    pc.gtv = c_.gtv;
    pc.Pic2 = c_.Pic2;
    pc.qvod = c_.qvod;
    pc.gunt1 = c_.gunt1;
    pc.gunt2 = c_.gunt2;
    pc.huan = c_.huan;
    pc.bo_name = c_.bo_name;
    pc.times = c_.times;
    pc.myMenu = &menus_.myMenu;
    pc.webc = &menus_.webc;
    pc.qvod_m = &menus_.qvod_m;
    pc.playerUrl = [this] { return player_.url(); };
    pc.base = serviceBase_;
    paneEvents_ = new web::PaneEvents(state_, pc, this);
    connect(c_.jia, &window::Label::clicked, paneEvents_, &web::PaneEvents::jia_Click);
    connect(c_.gtv, &window::PictureBox::clicked, paneEvents_, &web::PaneEvents::gtv_Click);
    connect(c_.ggx, &window::PictureBox::clicked, paneEvents_, &web::PaneEvents::ggx_Click);
}

web::WebPane* MainWindow::pane(int n) const {
    return n >= 1 && n <= 11 ? qobject_cast<web::WebPane*>(c_.Web[n]) : nullptr;
}

void MainWindow::startUp() {
    // Work area. Maximised, a frameless window is given the work area by the
    // window manager itself, which leaves the panels and the taskbar visible;
    // no minimum size is imposed on it (the resize handler keeps its own).
    if (const QScreen* screen = QGuiApplication::primaryScreen()) state_.WorkArea = screen->availableGeometry();
    state_.WorkAreaWidth = state_.WorkArea.width();
    state_.WorkAreaHeight = state_.WorkArea.height();
    setMinimumSize(0, 0);

    // Settings.
    state_.ConfigPath = files_.settings;
    state_.SkinApplied = 0;
    auto& s = *settings_;
    const int skinIndex = window::readNumber(s, QStringLiteral("Skin"), QStringLiteral("Num"));
    const QString userId = s.read(QStringLiteral("user"), QStringLiteral("Name"), QStringLiteral("0"));
    state_.SavedWidth = window::readNumber(s, QStringLiteral("S_q"), QStringLiteral("h_w"));
    state_.SavedHeight = window::readNumber(s, QStringLiteral("S_q"), QStringLiteral("h_h"));
    state_.KeepSizeOption = window::readNumber(s, QStringLiteral("S_q"), QStringLiteral("s_size"));

    // Size, in twips as stored.
    const bool keep = state_.KeepSizeOption == 2;
    const int w = window::pixelsFromTwips(keep ? state_.SavedWidth : kStartWidthTwips);
    const int h = window::pixelsFromTwips(keep ? state_.SavedHeight : kStartHeightTwips);
    resize(qMax(w, 1), qMax(h, 1));

    state_.MainTab = 8;
    state_.SideTab = 12;

    // Only the two skins exist; anything else, a negative number included, starts skin 0.
    painter_->p_p(skinIndex == 1 ? 1 : 0);

    // First pages.
    web::PaneSet panes{};
    for (int n = 1; n <= 11; ++n) panes[n - 1] = pane(n);
    web::navigateFirstPages(panes, serviceBase_, files_, userId);

    tray_.AddTrayIcon(this, &menus_.r_m, windowTitle());

    state_.RecordKey = QStringLiteral("0");
    state_.ResumeDone = 0;
    state_.CurrentView = 0;
    state_.HomePageFailed = 0;
    state_.PauseAdState = 0;
    state_.StopAdState = 0;
    state_.SideWindowOnExit = QStringLiteral("0");
    state_.RightButtonFlag = 0;

    player_.setAdPageUrl(serviceBase_ + QStringLiteral("js/ads/qvodad.html"));
    layout_->placeVolumeKnob(player_.volume());

    // Key preview.
    qApp->installEventFilter(this);

    if (!commandLine_.isEmpty() && lComm_) lComm_(commandLine_);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // A key press travels from the focused control up to its parents, and the
    // application's filter sees every leg: take it on the first one only.
    if (event->type() == QEvent::KeyPress && keyPreview && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        const QWidget* focus = QApplication::focusWidget();
        const bool firstLeg = focus ? widget == focus : widget == this;
        if (firstLeg && widget->window() == this) return keyPreview(static_cast<QKeyEvent*>(event));
    }
    return QWidget::eventFilter(watched, event);
}

bool MainWindow::grabScreenshot(const QString& path) { return grab().save(path, "PNG"); }

}  // namespace qarvel
