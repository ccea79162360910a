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
    : QObject(c.BA1), c_(c), state_(state), skin_(skin) {
    c_.BA1->installEventFilter(this);
}

bool MainWindowLayout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c_.BA1) {
        if (event->type() == QEvent::Resize) {
            Form_Resize();
        } else if (event->type() == QEvent::Paint) {
            // The frame lies under every child; the window itself paints nothing else.
            QPainter p(c_.BA1);
            p.fillRect(c_.BA1->rect(), Qt::black);
            paintFrame(p, skin_.slot(SkinSlot::Frame), c_.BA1->width(), c_.BA1->height(), frameKind());
        }
    }
    return QObject::eventFilter(watched, event);
}

FrameKind MainWindowLayout::frameKind() const {
    return state_.CompactMode != 0 ? FrameKind::Compact : FrameKind::Normal;
}

bool MainWindowLayout::minimised() const { return c_.BA1->isMinimized(); }

void MainWindowLayout::Form_Resize() {
    if (minimised()) return;
    if (state_.CompactMode != 0) {
        LayoutCompact();
        return;
    }
    if (!c_.BA1->isMaximized()) {
        int w = c_.BA1->width();
        int h = c_.BA1->height();
        if (twipsFromPixels(w) < kMinWidthTwips) w = pixelsAtLeast(kMinWidthTwips);
        if (twipsFromPixels(h) < kMinHeightTwips) h = pixelsAtLeast(kMinHeightTwips);
        // The resize runs this handler again at once; what follows then
        // repeats the layout at the same size.
        if (w != c_.BA1->width() || h != c_.BA1->height()) c_.BA1->resize(w, h);
    }
    PaintFrame();
    LayoutMainArea();
    LayoutPlayerTab();
    LayoutTvTab();
    c_.Imi->move(10, 7);
    c_.ni_name->move(40, 13);
    qvod_Resize();
}

void MainWindowLayout::ApplyRoundRegion() {
    const QRegion outline = roundRegion(c_.BA1->width(), c_.BA1->height());
    if (c_.BA1->mask() != outline) c_.BA1->setMask(outline);
}

void MainWindowLayout::PaintFrame() {
    const int W = c_.BA1->width();
    const int H = c_.BA1->height();
    c_.BA1->update();
    ApplyRoundRegion();
    c_.bo_foot->setGeometry(2, H - 46, W - 4, kControlBarHeight);
    c_.bo_foot->setPicture(skin_.slot(SkinSlot::ControlBar));
    c_.bo_foot->update();
}

void MainWindowLayout::LayoutMainArea() {
    const int W = c_.BA1->width();
    const int H = c_.BA1->height();

    // Title-bar buttons, right to left from the close button.
    struct Step {
        int index;
        int gap;  // distance from the button placed before
    };
    int left = W - 32;
    c_.npc[WindowButton::Close]->setGeometry(left, kTitleButtonTop, kTitleButtonSize, kTitleButtonSize);
    for (Step s : {Step{WindowButton::Maximise, 24}, Step{WindowButton::Minimise, 24}, Step{WindowButton::MainMenu, 28},
                   Step{WindowButton::CompactMode, 24}, Step{WindowButton::AlwaysOnTop, 24}}) {
        left -= s.gap;
        c_.npc[s.index]->setGeometry(left, kTitleButtonTop, kTitleButtonSize, kTitleButtonSize);
    }

    int tabLeft = 200;
    for (int tab : {MainTab::Catalogue, MainTab::Player, MainTab::LiveTv, MainTab::Highlights}) {
        c_.npc[tab]->setGeometry(tabLeft, 0, kTabWidth, kTabHeight);
        tabLeft += kTabWidth;
    }

    const QRect page(2, 39, W - 4, H - 85);
    for (QWidget* p : {c_.zz, c_.zzp, c_.tv, c_.ying}) p->setGeometry(page);

    fillParent(c_.Pic1);
    c_.wait->setGeometry(c_.Pic1->geometry());
    c_.jia->move((c_.wait->width() - c_.jia->width()) / 2, (c_.zzp->height() - c_.jia->height()) / 2 - 20);
    placeWithOverhang(c_.Web[Pane::Catalogue], c_.Pic1);
    placeWithOverhang(c_.Web[Pane::Highlights], c_.ying);
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
    layoutSidebarPage(c_.zz, c_.npc[WindowButton::PlayerSidebarStrip], c_.l2, c_.L1);

    PictureBox* header = c_.npc[WindowButton::SidebarHeader];
    header->setGeometry(0, 0, kSidebarWidth, kHeaderHeight);
    c_.npc[SideTab::EpisodeList]->setGeometry(8, 4, kSideTabWidth, kSideTabHeight);
    c_.npc[SideTab::TaskList]->setGeometry(71, 4, kSideTabWidth, kSideTabHeight);
    c_.npc[SideTab::LocalList]->setGeometry(134, 4, kSideTabWidth, kSideTabHeight);

    fillParent(c_.Pic2);
    c_.ggx->move(c_.Pic2->width() - c_.ggx->width(), 0);

    c_.shan->setGeometry(0, c_.l2->height() - kFooterHeight, c_.l2->width(), kFooterHeight);
    c_.qk->move(c_.shan->width() - 80, 6);

    const QRect list(0, header->y() + header->height(), c_.l2->width(),
                     c_.l2->height() - header->height() - c_.shan->height());
    for (QWidget* p : {c_.Pic3, c_.Pic4, c_.Pic5}) p->setGeometry(list);

    placeWithOverhang(c_.Web[Pane::WebPlayer], c_.Pic2);
    placeWithOverhang(c_.Web[Pane::TaskList], c_.Pic3);
    placeWithOverhang(c_.Web[Pane::LocalList], c_.Pic4);
    placeWithOverhang(c_.Web[Pane::EpisodeList], c_.Pic5);
}

void MainWindowLayout::LayoutTvTab() {
    layoutSidebarPage(c_.tv, c_.npc[WindowButton::TvSidebarStrip], c_.tvright, c_.tvleft);
    c_.gtv->move(c_.tvleft->width() - c_.gtv->width(), 0);
    placeWithOverhang(c_.Web[Pane::ChannelList], c_.tvright);
    placeWithOverhang(c_.Web[Pane::LiveTv], c_.tvleft);
}

void MainWindowLayout::qvod_Resize() {
    if (minimised()) return;
    const int W = c_.BA1->width();

    c_.qvod->setGeometry(0, 0, c_.Pic2->width(), c_.Pic2->height());
    const int qw = c_.qvod->width();
    c_.gunt->setGeometry(0, c_.qvod->height() - kSeekBarHeight, qw, kSeekBarHeight);
    c_.bo_zt->setGeometry(0, c_.gunt->y() - kStatusStripHeight, qw, kStatusStripHeight);

    c_.Qvodx->setGeometry(0, 0, qw, c_.bo_zt->y());
    if (c_.QvodC) fillParent(c_.QvodC);
    fillParent(c_.Lqvod);

    // The advertisement area covers the player's picture.
    const QSize player = c_.QvodC ? c_.QvodC->size() : c_.Qvodx->size();
    c_.bo_ad->setGeometry(0, 0, player.width(), player.height());
    const int adW = c_.bo_ad->width();
    const int adH = c_.bo_ad->height();
    c_.adp->move((adW - c_.adp->width()) / 2, (adH - c_.adp->height() - 30) / 2);
    c_.bo_pad->setGeometry((adW - 468) / 2, c_.adp->y() + c_.adp->height() + 30, 468, 60);
    c_.ad_huan->setGeometry((adW - 450) / 2, (adH - 260) / 2, 450, 260);
    placeWithOverhang(c_.Web[Pane::StopAd], c_.bo_pad);
    placeWithOverhang(c_.Web[Pane::PauseAd], c_.ad_huan);
    c_.next_s->move(c_.adp->x(), c_.adp->y() + c_.adp->height() + 10);

    if (state_.CompactMode != 0) {
        c_.zhun->setAutoSize(false);
        c_.zhun->resize(120, c_.zhun->height());
    } else {
        c_.zhun->setAutoSize(true);
    }
    c_.zhun->move(13, 3);
    c_.times->move(qw - c_.times->width() - 13, 3);
    c_.bo_name->move((c_.bo_zt->width() - c_.bo_name->width()) / 2, 3);
    c_.huan->move(0, 0);

    // Control bar: transport buttons from the left, the rest from the right.
    auto& b = c_.bo_but;
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
    c_.yin->setGeometry(b[TransportButton::Mute]->x() + 26, 11, 80, 24);
    b[TransportButton::Sidebar]->setGeometry(W - 47, 11, kTransportSize, kTransportSize);
    b[TransportButton::FullScreen]->setGeometry(b[TransportButton::Sidebar]->x() - 26, 11, kTransportSize,
                                                kTransportSize);
    b[TransportButton::OpenFile]->setGeometry(b[TransportButton::FullScreen]->x() - 26, 11, kTransportSize,
                                              kTransportSize);
    c_.La[0]->move(470, 18);
}

void MainWindowLayout::placeVolumeKnob(int volume) {
    const int range = c_.yin->width() - c_.bo_v->width();
    const int v = range * qBound(0, volume, 100) / 100;
    c_.bo_v->move(v, c_.bo_v->y());
    c_.bo_y->setGeometry(0, 11, v, 2);
}

void MainWindowLayout::LayoutCompact() {
    int W = c_.BA1->width();
    int H = c_.BA1->height();
    if (twipsFromPixels(W) < kCompactMinWidthTwips) W = pixelsAtLeast(kCompactMinWidthTwips);
    if (twipsFromPixels(H) < kCompactMinHeightTwips) H = pixelsAtLeast(kCompactMinHeightTwips);
    if (W != c_.BA1->width() || H != c_.BA1->height()) c_.BA1->resize(W, H);
    W = c_.BA1->width();
    H = c_.BA1->height();

    c_.BA1->update();
    ApplyRoundRegion();

    c_.jbi->move(W - c_.jbi->width() - 10, 2);

    if (state_.CompactMode == 1) {
        if (!c_.bo_name->text().isEmpty()) c_.ni_name->setText(c_.bo_name->text());
        c_.ni_bo1->setText(c_.ni_name->text());
        const int room = c_.jbi->x() - 50;
        if (room >= c_.ni_name->width()) {
            c_.ni_bo1->setAutoSize(true);
        } else {
            // Wrapped inside the room left of the exit button; the label keeps
            // one line's height, so what does not fit is cut off.
            const int lineHeight = c_.ni_bo1->fontMetrics().height();
            c_.ni_bo1->setWrapWidth(qMax(room, 1));
            c_.ni_bo1->resize(c_.ni_bo1->width(), lineHeight);
        }
        c_.ni_bo1->move(13, 5);
        c_.zz->setGeometry(2, 20, W - 4, H - 23);
        fillParent(c_.L1);
        fillParent(c_.Pic2);
        placeWithOverhang(c_.Web[Pane::WebPlayer], c_.Pic2);
        qvod_Resize();
    } else if (state_.CompactMode == 2) {
        c_.tv->setGeometry(2, 20, W - 4, H - 23);
        fillParent(c_.tvleft);
        placeWithOverhang(c_.Web[Pane::LiveTv], c_.tvleft);
    }
}

void MainWindowLayout::SelectMainTab(MainTab tab, bool force) {
    if (tab == state_.MainTab && !force) return;
    const MainTab old = state_.MainTab;
    c_.npc[old]->setPicture(skin_.piece(mainTab(old, false)));
    if (!force) c_.mainTabPage(old)->hide();
    c_.npc[old]->update();
    c_.npc[tab]->setPicture(skin_.piece(mainTab(tab, true)));
    c_.mainTabPage(tab)->show();
    c_.npc[tab]->update();
    state_.MainTab = tab;
}

void MainWindowLayout::SelectSideTab(SideTab tab, bool force) {
    if (tab == state_.SideTab && !force) return;
    const SideTab old = state_.SideTab;
    c_.npc[old]->setPicture(skin_.piece(sideTab(old, false)));
    c_.sideTabPage(old)->hide();
    c_.npc[old]->update();
    c_.npc[tab]->setPicture(skin_.piece(sideTab(tab, true)));
    c_.sideTabPage(tab)->show();
    c_.qk->setText(tab == SideTab::LocalList ? text::kClearList : text::kManageTasks);
    c_.npc[tab]->update();
    state_.SideTab = tab;
}

}  // namespace qarvel::window
