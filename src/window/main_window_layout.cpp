#include "window/main_window_layout.h"

#include "window/units.h"

#include <QEvent>
#include <QPainter>

namespace qarvel::window {

namespace {

using namespace sprites;

constexpr int kTitleButtonTop = 4;
constexpr int kStripHeight = 40;
constexpr int kHeaderHeight = 28;
constexpr int kFooterHeight = 20;
constexpr int kSeekBarHeight = 7;
constexpr int kStatusStripHeight = 22;
constexpr int kControlBarHeight = 43;

}  // namespace

MainWindowLayout::MainWindowLayout(MainWindowControls& c, MainWindowState& state, const Skin& skin)
    : QObject(c.mainWindow), c_(c), state_(state), skin_(skin) {
    c_.mainWindow->installEventFilter(this);
}

bool MainWindowLayout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c_.mainWindow) {
        if (event->type() == QEvent::Resize) {
            layoutWindow();
        } else if (event->type() == QEvent::Paint) {
            // The frame lies under every child; the window itself paints nothing else.
            QPainter p(c_.mainWindow);
            p.fillRect(c_.mainWindow->rect(), Qt::black);
            paintFrame(p, skin_.slot(SkinSlot::Frame), c_.mainWindow->width(), c_.mainWindow->height(), frameKind());
        }
    }
    return QObject::eventFilter(watched, event);
}

FrameKind MainWindowLayout::frameKind() const {
    return state_.CompactMode != 0 ? FrameKind::Compact : FrameKind::Normal;
}

bool MainWindowLayout::minimised() const { return c_.mainWindow->isMinimized(); }

void MainWindowLayout::layoutWindow() {
    if (minimised()) return;
    if (state_.CompactMode != 0) {
        LayoutCompact();
        return;
    }
    if (!c_.mainWindow->isMaximized()) {
        int w = c_.mainWindow->width();
        int h = c_.mainWindow->height();
        if (twipsFromPixels(w) < kMinWidthTwips) w = pixelsAtLeast(kMinWidthTwips);
        if (twipsFromPixels(h) < kMinHeightTwips) h = pixelsAtLeast(kMinHeightTwips);
        // The resize runs this handler again at once; what follows then
        // repeats the layout at the same size.
        if (w != c_.mainWindow->width() || h != c_.mainWindow->height()) c_.mainWindow->resize(w, h);
    }
    PaintFrame();
    LayoutMainArea();
    LayoutPlayerTab();
    LayoutTvTab();
    c_.logo->move(10, 7);
    c_.titleCaption->move(40, 13);
    layoutPlayerArea();
}

void MainWindowLayout::ApplyRoundRegion() {
    const QRegion outline = roundRegion(c_.mainWindow->width(), c_.mainWindow->height());
    if (c_.mainWindow->mask() != outline) c_.mainWindow->setMask(outline);
}

void MainWindowLayout::PaintFrame() {
    const int W = c_.mainWindow->width();
    const int H = c_.mainWindow->height();
    c_.mainWindow->update();
    ApplyRoundRegion();
    c_.controlBar->setGeometry(2, H - 46, W - 4, kControlBarHeight);
    c_.controlBar->setPicture(skin_.slot(SkinSlot::ControlBar));
    c_.controlBar->update();
}

void MainWindowLayout::LayoutMainArea() {
    const int W = c_.mainWindow->width();
    const int H = c_.mainWindow->height();

    // Title-bar buttons, right to left from the close button.
    struct Step {
        int index;
        int gap;  // distance from the button placed before
    };
    int left = W - 32;
    c_.windowButtons[WindowButton::Close]->setGeometry(left, kTitleButtonTop, kTitleButtonSize, kTitleButtonSize);
    for (Step s : {Step{WindowButton::Maximise, 24}, Step{WindowButton::Minimise, 24}, Step{WindowButton::MainMenu, 28},
                   Step{WindowButton::CompactMode, 24}, Step{WindowButton::AlwaysOnTop, 24}}) {
        left -= s.gap;
        c_.windowButtons[s.index]->setGeometry(left, kTitleButtonTop, kTitleButtonSize, kTitleButtonSize);
    }

    int tabLeft = 200;
    for (int tab : {MainTab::Catalogue, MainTab::Player, MainTab::LiveTv, MainTab::Highlights}) {
        c_.windowButtons[tab]->setGeometry(tabLeft, 0, kTabWidth, kTabHeight);
        tabLeft += kTabWidth;
    }

    const QRect page(2, 39, W - 4, H - 85);
    for (QWidget* p : {c_.playerPage, c_.cataloguePage, c_.liveTvPage, c_.highlightsPage}) p->setGeometry(page);

    fillParent(c_.catalogueFrame);
    c_.catalogueWaitPanel->setGeometry(c_.catalogueFrame->geometry());
    c_.catalogueRetryPicture->move((c_.catalogueWaitPanel->width() - c_.catalogueRetryPicture->width()) / 2,
                                   (c_.cataloguePage->height() - c_.catalogueRetryPicture->height()) / 2 - 20);
    placeWithOverhang(c_.webPanes[Pane::Catalogue], c_.catalogueFrame);
    placeWithOverhang(c_.webPanes[Pane::Highlights], c_.highlightsPage);
}

void MainWindowLayout::layoutSidebarPage(QWidget* page, PictureBox* strip, QWidget* sidebar, QWidget* side) {
    strip->resize(kStripWidth, kStripHeight);
    sidebar->setGeometry(page->width() - kSidebarWidth, 0, kSidebarWidth, page->height());
    const bool shown = strip->tip() == text::kCloseSidebar;
    if (shown) {
        strip->move(page->width() - kSidebarWidth, strip->y());
        side->setGeometry(0, 0, strip->x(), sidebar->height());
    } else {
        strip->move(page->width() - 4, strip->y());
        side->setGeometry(0, 0, page->width(), sidebar->height());
    }
    strip->setPicture(skin_.piece(sidebarStrip(shown)));
    strip->setGeometry(strip->x(), (page->height() - kStripFaceHeight) / 2, kStripWidth, kStripHeight);
    strip->raise();
}

void MainWindowLayout::LayoutPlayerTab() {
    layoutSidebarPage(c_.playerPage, c_.windowButtons[WindowButton::PlayerSidebarStrip], c_.playerSidebar,
                      c_.playerLeftArea);

    PictureBox* header = c_.windowButtons[WindowButton::SidebarHeader];
    header->setGeometry(0, 0, kSidebarWidth, kHeaderHeight);
    c_.windowButtons[SideTab::EpisodeList]->setGeometry(8, 4, kSideTabWidth, kSideTabHeight);
    c_.windowButtons[SideTab::TaskList]->setGeometry(71, 4, kSideTabWidth, kSideTabHeight);
    c_.windowButtons[SideTab::LocalList]->setGeometry(134, 4, kSideTabWidth, kSideTabHeight);

    fillParent(c_.webPlayerFrame);
    c_.webPlayerCloseButton->move(c_.webPlayerFrame->width() - c_.webPlayerCloseButton->width(), 0);

    c_.sidebarFooter->setGeometry(0, c_.playerSidebar->height() - kFooterHeight, c_.playerSidebar->width(),
                                  kFooterHeight);
    c_.sideListCommand->move(c_.sidebarFooter->width() - 80, 6);

    const QRect list(0, header->y() + header->height(), c_.playerSidebar->width(),
                     c_.playerSidebar->height() - header->height() - c_.sidebarFooter->height());
    for (QWidget* p : {c_.taskListFrame, c_.localListFrame, c_.episodeListFrame}) p->setGeometry(list);

    placeWithOverhang(c_.webPanes[Pane::WebPlayer], c_.webPlayerFrame);
    placeWithOverhang(c_.webPanes[Pane::TaskList], c_.taskListFrame);
    placeWithOverhang(c_.webPanes[Pane::LocalList], c_.localListFrame);
    placeWithOverhang(c_.webPanes[Pane::EpisodeList], c_.episodeListFrame);
}

void MainWindowLayout::LayoutTvTab() {
    layoutSidebarPage(c_.liveTvPage, c_.windowButtons[WindowButton::TvSidebarStrip], c_.channelSidebar, c_.liveTvFrame);
    c_.liveTvCloseButton->move(c_.liveTvFrame->width() - c_.liveTvCloseButton->width(), 0);
    placeWithOverhang(c_.webPanes[Pane::ChannelList], c_.channelSidebar);
    placeWithOverhang(c_.webPanes[Pane::LiveTv], c_.liveTvFrame);
}

void MainWindowLayout::layoutPlayerArea() {
    if (minimised()) return;
    const int W = c_.mainWindow->width();

    c_.playerArea->setGeometry(0, 0, c_.webPlayerFrame->width(), c_.webPlayerFrame->height());
    const int qw = c_.playerArea->width();
    c_.seekBar->setGeometry(0, c_.playerArea->height() - kSeekBarHeight, qw, kSeekBarHeight);
    c_.statusStrip->setGeometry(0, c_.seekBar->y() - kStatusStripHeight, qw, kStatusStripHeight);

    c_.videoFrame->setGeometry(0, 0, qw, c_.statusStrip->y());
    if (c_.playerVideo) fillParent(c_.playerVideo);
    fillParent(c_.videoOverlay);

    // The advertisement area covers the player's picture.
    const QSize player = c_.playerVideo ? c_.playerVideo->size() : c_.videoFrame->size();
    c_.adArea->setGeometry(0, 0, player.width(), player.height());
    const int adW = c_.adArea->width();
    const int adH = c_.adArea->height();
    c_.idlePicture->move((adW - c_.idlePicture->width()) / 2, (adH - c_.idlePicture->height() - 30) / 2);
    c_.stopAdFrame->setGeometry((adW - 468) / 2, c_.idlePicture->y() + c_.idlePicture->height() + 30, 468, 60);
    c_.pauseAdFrame->setGeometry((adW - 450) / 2, (adH - 260) / 2, 450, 260);
    placeWithOverhang(c_.webPanes[Pane::StopAd], c_.stopAdFrame);
    placeWithOverhang(c_.webPanes[Pane::PauseAd], c_.pauseAdFrame);
    c_.nextEpisodeNotice->move(c_.idlePicture->x(), c_.idlePicture->y() + c_.idlePicture->height() + 10);

    if (state_.CompactMode != 0) {
        c_.statusText->setAutoSize(false);
        c_.statusText->resize(120, c_.statusText->height());
    } else {
        c_.statusText->setAutoSize(true);
    }
    c_.statusText->move(13, 3);
    c_.timeText->move(qw - c_.timeText->width() - 13, 3);
    c_.filmTitle->move((c_.statusStrip->width() - c_.filmTitle->width()) / 2, 3);
    c_.downloadedBar->move(0, 0);

    // Control bar: transport buttons from the left, the rest from the right.
    auto& b = c_.transportButtons;
    b[TransportButton::PlayPause]->setGeometry(20, 0, kPlayPauseWidth, kControlBarHeight);
    int left = b[TransportButton::PlayPause]->x();
    struct Step {
        int index;
        int gap;
    };
    for (Step s : {Step{TransportButton::Stop, 65}, Step{TransportButton::PreviousEpisode, 29},
                   Step{TransportButton::NextEpisode, 29}, Step{TransportButton::Mute, 30}}) {
        left += s.gap;
        b[s.index]->setGeometry(left, 11, kTransportSize, kTransportSize);
    }
    c_.volumeTrack->setGeometry(b[TransportButton::Mute]->x() + 26, 11, 80, 24);
    b[TransportButton::Sidebar]->setGeometry(W - 47, 11, kTransportSize, kTransportSize);
    b[TransportButton::FullScreen]->setGeometry(b[TransportButton::Sidebar]->x() - 26, 11, kTransportSize,
                                                kTransportSize);
    b[TransportButton::OpenFile]->setGeometry(b[TransportButton::FullScreen]->x() - 26, 11, kTransportSize,
                                              kTransportSize);
    c_.noticeLines[0]->move(470, 18);
}

void MainWindowLayout::placeVolumeKnob(int volume) {
    const int range = c_.volumeTrack->width() - c_.volumeKnob->width();
    const int v = range * qBound(0, volume, 100) / 100;
    c_.volumeKnob->move(v, c_.volumeKnob->y());
    c_.volumeFill->setGeometry(0, 11, v, 2);
}

void MainWindowLayout::LayoutCompact() {
    int W = c_.mainWindow->width();
    int H = c_.mainWindow->height();
    if (twipsFromPixels(W) < kCompactMinWidthTwips) W = pixelsAtLeast(kCompactMinWidthTwips);
    if (twipsFromPixels(H) < kCompactMinHeightTwips) H = pixelsAtLeast(kCompactMinHeightTwips);
    if (W != c_.mainWindow->width() || H != c_.mainWindow->height()) c_.mainWindow->resize(W, H);
    W = c_.mainWindow->width();
    H = c_.mainWindow->height();

    c_.mainWindow->update();
    ApplyRoundRegion();

    c_.leaveCompactButton->move(W - c_.leaveCompactButton->width() - 10, 2);

    if (state_.CompactMode == 1) {
        if (!c_.filmTitle->text().isEmpty()) c_.titleCaption->setText(c_.filmTitle->text());
        c_.compactTitle->setText(c_.titleCaption->text());
        const int room = c_.leaveCompactButton->x() - 50;
        if (room >= c_.titleCaption->width()) {
            c_.compactTitle->setAutoSize(true);
        } else {
            // Wrapped inside the room left of the exit button; the label keeps
            // one line's height, so what does not fit is cut off.
            const int lineHeight = c_.compactTitle->fontMetrics().height();
            c_.compactTitle->setWrapWidth(qMax(room, 1));
            c_.compactTitle->resize(c_.compactTitle->width(), lineHeight);
        }
        c_.compactTitle->move(13, 5);
        c_.playerPage->setGeometry(2, 20, W - 4, H - 23);
        fillParent(c_.playerLeftArea);
        fillParent(c_.webPlayerFrame);
        placeWithOverhang(c_.webPanes[Pane::WebPlayer], c_.webPlayerFrame);
        layoutPlayerArea();
    } else if (state_.CompactMode == 2) {
        c_.liveTvPage->setGeometry(2, 20, W - 4, H - 23);
        fillParent(c_.liveTvFrame);
        placeWithOverhang(c_.webPanes[Pane::LiveTv], c_.liveTvFrame);
    }
}

void MainWindowLayout::showMainTab(MainTab tab, bool force) {
    if (tab == state_.MainTab && !force) return;
    const MainTab old = state_.MainTab;
    c_.windowButtons[old]->setPicture(skin_.piece(mainTab(old, false)));
    if (!force) c_.mainTabPage(old)->hide();
    c_.windowButtons[old]->update();
    c_.windowButtons[tab]->setPicture(skin_.piece(mainTab(tab, true)));
    c_.mainTabPage(tab)->show();
    c_.windowButtons[tab]->update();
    state_.MainTab = tab;
}

void MainWindowLayout::showSideTab(SideTab tab, bool force) {
    if (tab == state_.SideTab && !force) return;
    const SideTab old = state_.SideTab;
    c_.windowButtons[old]->setPicture(skin_.piece(sideTab(old, false)));
    c_.sideTabPage(old)->hide();
    c_.windowButtons[old]->update();
    c_.windowButtons[tab]->setPicture(skin_.piece(sideTab(tab, true)));
    c_.sideTabPage(tab)->show();
    c_.sideListCommand->setText(tab == SideTab::LocalList ? text::kClearList : text::kManageTasks);
    c_.windowButtons[tab]->update();
    state_.SideTab = tab;
}

}  // namespace qarvel::window
