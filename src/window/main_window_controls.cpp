#include "window/main_window_controls.h"

#include "resources/skin_resources.h"
#include "window/accessible_names.h"
#include "state/skin_sprites.h"

#include <QTimer>

namespace qarvel::window {

namespace {

// Controls keep their mouse to themselves, as separate controls do: only the
// window's own painted surface is a drag handle.
template <typename T>
T* named(T* widget, const QString& name) {
    widget->setObjectName(name);
    widget->setAttribute(Qt::WA_NoMousePropagation);
    return widget;
}

QWidget* panel(QWidget* parent, const QString& name) { return named(new QWidget(parent), name); }

PictureBox* pictureBox(QWidget* parent, const QString& name, int w, int h, int index = -1) {
    auto* box = named(new PictureBox(parent, index), name);
    box->resize(w, h);
    return box;
}

// A box the size of its picture.
PictureBox* image(QWidget* parent, const QString& name, const QPixmap& picture) {
    auto* box = pictureBox(parent, name, 1, 1);
    box->setPicture(picture);
    box->resize(picture.deviceIndependentSize().toSize());
    return box;
}

// The close badge over a pane; it lights up under the pointer.
PictureBox* closeButton(QWidget* parent, const QString& name) {
    auto* box = image(parent, name, smallClosePicture(false));
    box->setTip(QStringLiteral("关闭"));
    QObject::connect(box, &PictureBox::moved, box, [box](int, Qt::MouseButtons, QPoint pos) {
        box->setPicture(smallClosePicture(box->rect().contains(pos)));
    });
    return box;
}

// A caption that shows a picture instead of text, sized to it.
Label* pictureLabel(QWidget* parent, const QString& name, const QPixmap& picture) {
    auto* l = named(new Label(QString(), parent), name);
    l->setPixmap(picture);
    l->resize(picture.deviceIndependentSize().toSize());
    return l;
}

Label* label(QWidget* parent, const QString& name, const QString& caption, bool autoSize) {
    auto* l = named(new Label(caption, parent), name);
    l->setAutoSize(autoSize);
    return l;
}

// Title-bar buttons carry a balloon of their own; the platform tooltip would
// show a second one.
constexpr bool hasOwnBalloon(int index) { return index <= WindowButton::MainMenu; }

}  // namespace

void attachPlayerWidget(MainWindowControls& c, QWidget* video) {
    c.playerVideo = video;
    if (!video) return;
    video->setParent(c.videoFrame);
    video->setObjectName(QStringLiteral("QvodC"));
    fillParent(video);
    video->show();
    c.videoOverlay->raise();
}

MainWindowControls buildMainWindowControls(QWidget* window, const PaneFactory& panes) {
    MainWindowControls c;
    c.mainWindow = window;
    window->setObjectName(QStringLiteral("BA1"));
    window->setWindowTitle(text::kCaption);
    // The layout's pixel rules were made for a 12-pixel interface font.
    QFont font = window->font();
    font.setPixelSize(12);
    window->setFont(font);

    auto pane = [&](Pane n, QWidget* parent) {
        QWidget* w = panes ? panes(n, parent) : nullptr;
        if (!w) w = new QWidget(parent);
        if (w->parentWidget() != parent) w->setParent(parent);
        w->setObjectName(QStringLiteral("Web%1").arg(n));
        c.webPanes[n] = w;
        return w;
    };

    // Pages first, so that everything painted on the window lies above them.
    c.cataloguePage = panel(window, "zzp");
    c.playerPage = panel(window, "zz");
    c.liveTvPage = panel(window, "tv");
    c.highlightsPage = panel(window, "ying");
    c.playerPage->hide();
    c.liveTvPage->hide();
    c.highlightsPage->hide();

    // Catalogue page: the pane, and the waiting / error panel that stands in
    // its place until the first page has loaded.
    c.catalogueFrame = panel(c.cataloguePage, "Pic1");
    pane(Pane::Catalogue, c.catalogueFrame);
    c.catalogueFrame->hide();
    c.catalogueWaitPanel = panel(c.cataloguePage, "wait");
    c.catalogueWaitPanel->setAutoFillBackground(true);
    c.catalogueRetryPicture = pictureLabel(c.catalogueWaitPanel, "jia", waitPicture(0));
    c.catalogueRetryPicture->setCursor(Qt::PointingHandCursor);
    c.catalogueErrorPicture = pictureLabel(c.catalogueWaitPanel, "w3", errorPicture(0));
    c.catalogueErrorPicture->hide();

    pane(Pane::Highlights, c.highlightsPage);

    // Player page.
    c.playerLeftArea = panel(c.playerPage, "L1");
    c.webPlayerFrame = panel(c.playerLeftArea, "Pic2");
    pane(Pane::WebPlayer, c.webPlayerFrame);
    c.webPlayerCloseButton = closeButton(c.webPlayerFrame, "ggx");
    c.webPlayerFrame->hide();
    c.playerArea = panel(c.playerLeftArea, "qvod");
    c.playerSidebar = panel(c.playerPage, "l2");
    c.playerSidebar->setAutoFillBackground(true);
    c.windowButtons[WindowButton::SidebarHeader] =
        pictureBox(c.playerSidebar, "npc_10", 202, 28, WindowButton::SidebarHeader);
    // Side-tab pages; the task list (Pic3) is the one selected at start.
    c.episodeListFrame = panel(c.playerSidebar, "Pic5");
    c.taskListFrame = panel(c.playerSidebar, "Pic3");
    c.localListFrame = panel(c.playerSidebar, "Pic4");
    for (auto [n, page] : {std::pair{Pane::EpisodeList, c.episodeListFrame},
                           {Pane::TaskList, c.taskListFrame},
                           {Pane::LocalList, c.localListFrame}}) {
        pane(n, page);
        page->setVisible(page == c.taskListFrame);
    }
    for (int i : {SideTab::EpisodeList, SideTab::TaskList, SideTab::LocalList}) {
        c.windowButtons[i] = pictureBox(c.playerSidebar, QStringLiteral("npc_%1").arg(i), sprites::kSideTabWidth,
                                        sprites::kSideTabHeight, i);
        c.windowButtons[i]->setCursor(Qt::PointingHandCursor);
    }
    c.sidebarFooter = panel(c.playerSidebar, "shan");
    c.sidebarFooter->setAutoFillBackground(true);
    c.sidebarFooter->setMouseTracking(true);
    // Fixed to the footer's height so the caption never spills out of it.
    c.sideListCommand = label(c.sidebarFooter, "qk", text::kManageTasks, false);
    c.sideListCommand->setGeometry(0, 6, 80, 14);
    c.sideListCommand->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    c.sideListCommand->setForeColour(colourFromNumber(5921370));
    c.sideListCommand->setCursor(Qt::PointingHandCursor);
    c.windowButtons[WindowButton::PlayerSidebarStrip] =
        pictureBox(c.playerPage, "npc_6", 3, 40, WindowButton::PlayerSidebarStrip);

    // Live-TV page.
    c.liveTvFrame = panel(c.liveTvPage, "tvleft");
    pane(Pane::LiveTv, c.liveTvFrame);
    c.liveTvCloseButton = closeButton(c.liveTvFrame, "gtv");
    c.liveTvCloseButton->hide();
    c.channelSidebar = panel(c.liveTvPage, "tvright");
    pane(Pane::ChannelList, c.channelSidebar);
    c.windowButtons[WindowButton::TvSidebarStrip] =
        pictureBox(c.liveTvPage, "npc_15", 3, 40, WindowButton::TvSidebarStrip);
    c.windowButtons[WindowButton::PlayerSidebarStrip]->setTip(text::kCloseSidebar);
    c.windowButtons[WindowButton::TvSidebarStrip]->setTip(text::kCloseSidebar);

    // Player area: video frame, status strip, seek bar, advertisement area.
    c.videoFrame = panel(c.playerArea, "Qvodx");
    c.videoFrame->hide();
    c.videoOverlay = label(c.videoFrame, "Lqvod", QString(), false);
    c.statusStrip = panel(c.playerArea, "bo_zt");
    c.statusStrip->setAutoFillBackground(true);
    c.statusStrip->setMouseTracking(true);
    c.statusText = label(c.statusStrip, "zhun", text::kReady, true);
    c.timeText = label(c.statusStrip, "times", QStringLiteral("00:00 /00:00"), true);
    c.filmTitle = label(c.statusStrip, "bo_name", QString(), true);
    c.seekBar = pictureBox(c.playerArea, "gunt", 1, 7);
    c.downloadedBar = label(c.seekBar, "huan", QString(), false);
    c.downloadedBar->setAutoFillBackground(true);
    c.downloadedBar->setGeometry(0, 0, 0, 7);
    c.playedBar = label(c.seekBar, "gunt2", QString(), false);
    c.playedBar->setAutoFillBackground(true);
    c.playedBar->setGeometry(0, 0, 0, 7);
    c.seekKnob = pictureBox(c.seekBar, "gunt1", 12, 7);
    c.adArea = panel(c.playerArea, "bo_ad");
    c.adArea->setMouseTracking(true);
    c.idlePicture = image(c.adArea, "adp", idlePlayerPicture());
    c.idlePicture->setCursor(Qt::PointingHandCursor);
    c.stopAdFrame = panel(c.adArea, "bo_pad");
    pane(Pane::StopAd, c.stopAdFrame);
    c.stopAdFrame->hide();
    c.pauseAdFrame = panel(c.adArea, "ad_huan");
    pane(Pane::PauseAd, c.pauseAdFrame);
    c.pauseAdFrame->hide();
    c.nextEpisodeNotice = label(c.adArea, "next_s", text::kNextEpisodeWait, true);
    c.nextEpisodeNotice->hide();

    // The usage ping needs a pane but no place on screen.
    c.usagePingFrame = panel(window, "tj");
    pane(Pane::UsagePing, c.usagePingFrame);
    c.usagePingFrame->setGeometry(0, 0, 1, 1);
    c.usagePingFrame->hide();

    // Control bar.
    c.controlBar = pictureBox(window, "bo_foot", 1, 43);
    c.controlBar->setFit(PictureBox::Fit::Stretch);
    static const char* const kTransportTips[8] = {"播放",     "停止",   "静音", "全屏",
                                                  "打开文件", "上一集", "侧栏", "下一集"};
    for (int i = 0; i < kTransportButtonCount; ++i) {
        const SkinPiece face = sprites::transportButton(i, false, false);
        c.transportButtons[i] =
            pictureBox(c.controlBar, QStringLiteral("bo_but_%1").arg(i), face.width, face.height, i);
        c.transportButtons[i]->setNativeTip(false);
        c.transportButtons[i]->setTip(QString::fromUtf8(kTransportTips[i]));
    }
    c.volumeTrack = pictureBox(c.controlBar, "yin", 80, 24);
    c.volumeFill = label(c.volumeTrack, "bo_y", QString(), false);
    c.volumeFill->setAutoFillBackground(true);
    c.volumeFill->setGeometry(0, 11, 0, 2);
    c.volumeKnob = pictureBox(c.volumeTrack, "bo_v", 10, 10);
    c.volumeKnob->move(0, 7);
    c.noticeLines[0] = label(c.controlBar, "La_0", QString(), true);
    c.noticeLines[0]->setForeColour(colourFromNumber(33023));
    c.noticeLines[0]->setCursor(Qt::PointingHandCursor);

    // Title strip and window buttons.
    c.logo = pictureBox(window, "Imi", 26, 26);
    c.titleCaption = label(window, "ni_name", text::kCaption, true);
    // The logo and the title are part of the painted title strip: dragging
    // them moves the window like the strip around them.
    c.logo->setAttribute(Qt::WA_TransparentForMouseEvents);
    c.titleCaption->setAttribute(Qt::WA_TransparentForMouseEvents);
    static const char* const kTitleTips[6] = {"最小化", "最大化", "关闭", "精简模式", "置顶", "菜单"};
    for (int i = WindowButton::Minimise; i <= WindowButton::MainMenu; ++i) {
        c.windowButtons[i] = pictureBox(window, QStringLiteral("npc_%1").arg(i), sprites::kTitleButtonSize,
                                        sprites::kTitleButtonSize, i);
        c.windowButtons[i]->setNativeTip(!hasOwnBalloon(i));
        c.windowButtons[i]->setTip(QString::fromUtf8(kTitleTips[i]));
    }
    for (int i : {MainTab::Catalogue, MainTab::Player, MainTab::LiveTv, MainTab::Highlights}) {
        c.windowButtons[i] =
            pictureBox(window, QStringLiteral("npc_%1").arg(i), sprites::kTabWidth, sprites::kTabHeight, i);
        c.windowButtons[i]->setCursor(Qt::PointingHandCursor);
    }
    c.leaveCompactButton = label(window, "jbi", QStringLiteral("✕"), false);
    c.leaveCompactButton->setAlignment(Qt::AlignCenter);
    c.leaveCompactButton->resize(22, 22);
    c.leaveCompactButton->setToolTip(text::kLeaveCompact);
    c.leaveCompactButton->setForeColour(Qt::white);
    c.leaveCompactButton->setCursor(Qt::PointingHandCursor);
    c.leaveCompactButton->hide();
    c.compactTitle = label(window, "ni_bo1", QString(), true);
    c.compactTitle->hide();

    // The balloon lies above everything else on the window.
    c.buttonBalloon = panel(window, "P1");
    c.buttonBalloon->setAutoFillBackground(true);
    c.balloonText = label(c.buttonBalloon, "bo_tip", QString(), true);
    c.balloonText->move(2, 2);
    c.buttonBalloon->hide();

    // Timers run from the window's creation when they are enabled at design
    // time; a handler that acts once switches its timer off itself.
    struct TimerDesign {
        QTimer* MainWindowControls::*member;
        const char* name;
        int interval;
        bool enabled;
        bool once;
    };
    static constexpr TimerDesign kTimers[] = {
        {&MainWindowControls::statusPollTimer, "Timer1", 1000, true, false},
        {&MainWindowControls::endOfPlayTimer, "Timer2", 2000, false, true},
        {&MainWindowControls::playerHostCheckTimer, "Timer3", 10, true, true},
        {&MainWindowControls::retryNextEpisodeTimer, "Timer4", 50000, false, false},
        {&MainWindowControls::updateCheckTimer, "Timer5", 6000, true, true},
        {&MainWindowControls::noticeScrollTimer, "Timerg", 50, false, false},
    };
    for (const TimerDesign& t : kTimers) {
        auto* timer = new QTimer(window);
        timer->setObjectName(QString::fromLatin1(t.name));
        timer->setInterval(t.interval);
        timer->setSingleShot(t.once);
        if (t.enabled) timer->start();
        c.*t.member = timer;
    }
    describeControls(c);
    return c;
}

}  // namespace qarvel::window
