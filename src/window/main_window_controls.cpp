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
    c.QvodC = video;
    if (!video) return;
    video->setParent(c.Qvodx);
    video->setObjectName(QStringLiteral("QvodC"));
    fillParent(video);
    video->show();
    c.Lqvod->raise();
}

MainWindowControls buildMainWindowControls(QWidget* window, const PaneFactory& panes) {
    MainWindowControls c;
    c.BA1 = window;
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
        c.Web[n] = w;
        return w;
    };

    // Pages first, so that everything painted on the window lies above them.
    c.zzp = panel(window, "zzp");
    c.zz = panel(window, "zz");
    c.tv = panel(window, "tv");
    c.ying = panel(window, "ying");
    c.zz->hide();
    c.tv->hide();
    c.ying->hide();

    // Catalogue page: the pane, and the waiting / error panel that stands in
    // its place until the first page has loaded.
    c.Pic1 = panel(c.zzp, "Pic1");
    pane(Pane::Catalogue, c.Pic1);
    c.Pic1->hide();
    c.wait = panel(c.zzp, "wait");
    c.wait->setAutoFillBackground(true);
    c.jia = pictureLabel(c.wait, "jia", waitPicture(0));
    c.jia->setCursor(Qt::PointingHandCursor);
    c.w3 = pictureLabel(c.wait, "w3", errorPicture(0));
    c.w3->hide();

    pane(Pane::Highlights, c.ying);

    // Player page.
    c.L1 = panel(c.zz, "L1");
    c.Pic2 = panel(c.L1, "Pic2");
    pane(Pane::WebPlayer, c.Pic2);
    c.ggx = closeButton(c.Pic2, "ggx");
    c.Pic2->hide();
    c.qvod = panel(c.L1, "qvod");
    c.l2 = panel(c.zz, "l2");
    c.l2->setAutoFillBackground(true);
    c.npc[WindowButton::SidebarHeader] = pictureBox(c.l2, "npc_10", 202, 28, WindowButton::SidebarHeader);
    // Side-tab pages; the task list (Pic3) is the one selected at start.
    c.Pic5 = panel(c.l2, "Pic5");
    c.Pic3 = panel(c.l2, "Pic3");
    c.Pic4 = panel(c.l2, "Pic4");
    for (auto [n, page] : {std::pair{Pane::EpisodeList, c.Pic5}, {Pane::TaskList, c.Pic3}, {Pane::LocalList, c.Pic4}}) {
        pane(n, page);
        page->setVisible(page == c.Pic3);
    }
    for (int i : {SideTab::EpisodeList, SideTab::TaskList, SideTab::LocalList}) {
        c.npc[i] =
            pictureBox(c.l2, QStringLiteral("npc_%1").arg(i), sprites::kSideTabWidth, sprites::kSideTabHeight, i);
        c.npc[i]->setCursor(Qt::PointingHandCursor);
    }
    c.shan = panel(c.l2, "shan");
    c.shan->setAutoFillBackground(true);
    c.shan->setMouseTracking(true);
    // Fixed to the footer's height so the caption never spills out of it.
    c.qk = label(c.shan, "qk", text::kManageTasks, false);
    c.qk->setGeometry(0, 6, 80, 14);
    c.qk->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    c.qk->setForeColour(colourFromNumber(5921370));
    c.qk->setCursor(Qt::PointingHandCursor);
    c.npc[WindowButton::PlayerSidebarStrip] = pictureBox(c.zz, "npc_6", 3, 40, WindowButton::PlayerSidebarStrip);

    // Live-TV page.
    c.tvleft = panel(c.tv, "tvleft");
    pane(Pane::LiveTv, c.tvleft);
    c.gtv = closeButton(c.tvleft, "gtv");
    c.gtv->hide();
    c.tvright = panel(c.tv, "tvright");
    pane(Pane::ChannelList, c.tvright);
    c.npc[WindowButton::TvSidebarStrip] = pictureBox(c.tv, "npc_15", 3, 40, WindowButton::TvSidebarStrip);
    c.npc[WindowButton::PlayerSidebarStrip]->setTip(text::kCloseSidebar);
    c.npc[WindowButton::TvSidebarStrip]->setTip(text::kCloseSidebar);

    // Player area: video frame, status strip, seek bar, advertisement area.
    c.Qvodx = panel(c.qvod, "Qvodx");
    c.Qvodx->hide();
    c.Lqvod = label(c.Qvodx, "Lqvod", QString(), false);
    c.bo_zt = panel(c.qvod, "bo_zt");
    c.bo_zt->setAutoFillBackground(true);
    c.bo_zt->setMouseTracking(true);
    c.zhun = label(c.bo_zt, "zhun", text::kReady, true);
    c.times = label(c.bo_zt, "times", QStringLiteral("00:00 /00:00"), true);
    c.bo_name = label(c.bo_zt, "bo_name", QString(), true);
    c.gunt = pictureBox(c.qvod, "gunt", 1, 7);
    c.huan = label(c.gunt, "huan", QString(), false);
    c.huan->setAutoFillBackground(true);
    c.huan->setGeometry(0, 0, 0, 7);
    c.gunt2 = label(c.gunt, "gunt2", QString(), false);
    c.gunt2->setAutoFillBackground(true);
    c.gunt2->setGeometry(0, 0, 0, 7);
    c.gunt1 = pictureBox(c.gunt, "gunt1", 12, 7);
    c.bo_ad = panel(c.qvod, "bo_ad");
    c.bo_ad->setMouseTracking(true);
    c.adp = image(c.bo_ad, "adp", idlePlayerPicture());
    c.adp->setCursor(Qt::PointingHandCursor);
    c.bo_pad = panel(c.bo_ad, "bo_pad");
    pane(Pane::StopAd, c.bo_pad);
    c.bo_pad->hide();
    c.ad_huan = panel(c.bo_ad, "ad_huan");
    pane(Pane::PauseAd, c.ad_huan);
    c.ad_huan->hide();
    c.next_s = label(c.bo_ad, "next_s", text::kNextEpisodeWait, true);
    c.next_s->hide();

    // The usage ping needs a pane but no place on screen.
    c.tj = panel(window, "tj");
    pane(Pane::UsagePing, c.tj);
    c.tj->setGeometry(0, 0, 1, 1);
    c.tj->hide();

    // Control bar.
    c.bo_foot = pictureBox(window, "bo_foot", 1, 43);
    c.bo_foot->setFit(PictureBox::Fit::Stretch);
    static const char* const kTransportTips[8] = {"播放",     "停止",   "静音", "全屏",
                                                  "打开文件", "上一集", "侧栏", "下一集"};
    for (int i = 0; i < kTransportButtonCount; ++i) {
        const SkinPiece face = sprites::transportButton(i, false, false);
        c.bo_but[i] = pictureBox(c.bo_foot, QStringLiteral("bo_but_%1").arg(i), face.width, face.height, i);
        c.bo_but[i]->setNativeTip(false);
        c.bo_but[i]->setTip(QString::fromUtf8(kTransportTips[i]));
    }
    c.yin = pictureBox(c.bo_foot, "yin", 80, 24);
    c.bo_y = label(c.yin, "bo_y", QString(), false);
    c.bo_y->setAutoFillBackground(true);
    c.bo_y->setGeometry(0, 11, 0, 2);
    c.bo_v = pictureBox(c.yin, "bo_v", 10, 10);
    c.bo_v->move(0, 7);
    c.La[0] = label(c.bo_foot, "La_0", QString(), true);
    c.La[0]->setForeColour(colourFromNumber(33023));
    c.La[0]->setCursor(Qt::PointingHandCursor);

    // Title strip and window buttons.
    c.Imi = pictureBox(window, "Imi", 26, 26);
    c.ni_name = label(window, "ni_name", text::kCaption, true);
    // The logo and the title are part of the painted title strip: dragging
    // them moves the window like the strip around them.
    c.Imi->setAttribute(Qt::WA_TransparentForMouseEvents);
    c.ni_name->setAttribute(Qt::WA_TransparentForMouseEvents);
    static const char* const kTitleTips[6] = {"最小化", "最大化", "关闭", "精简模式", "置顶", "菜单"};
    for (int i = WindowButton::Minimise; i <= WindowButton::MainMenu; ++i) {
        c.npc[i] = pictureBox(window, QStringLiteral("npc_%1").arg(i), sprites::kTitleButtonSize,
                              sprites::kTitleButtonSize, i);
        c.npc[i]->setNativeTip(!hasOwnBalloon(i));
        c.npc[i]->setTip(QString::fromUtf8(kTitleTips[i]));
    }
    for (int i : {MainTab::Catalogue, MainTab::Player, MainTab::LiveTv, MainTab::Highlights}) {
        c.npc[i] = pictureBox(window, QStringLiteral("npc_%1").arg(i), sprites::kTabWidth, sprites::kTabHeight, i);
        c.npc[i]->setCursor(Qt::PointingHandCursor);
    }
    c.jbi = label(window, "jbi", QStringLiteral("✕"), false);
    c.jbi->setAlignment(Qt::AlignCenter);
    c.jbi->resize(22, 22);
    c.jbi->setToolTip(text::kLeaveCompact);
    c.jbi->setForeColour(Qt::white);
    c.jbi->setCursor(Qt::PointingHandCursor);
    c.jbi->hide();
    c.ni_bo1 = label(window, "ni_bo1", QString(), true);
    c.ni_bo1->hide();

    // The balloon lies above everything else on the window.
    c.P1 = panel(window, "P1");
    c.P1->setAutoFillBackground(true);
    c.bo_tip = label(c.P1, "bo_tip", QString(), true);
    c.bo_tip->move(2, 2);
    c.P1->hide();

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
        {&MainWindowControls::Timer1, "Timer1", 1000, true, false},
        {&MainWindowControls::Timer2, "Timer2", 2000, false, true},
        {&MainWindowControls::Timer3, "Timer3", 10, true, true},
        {&MainWindowControls::Timer4, "Timer4", 50000, false, false},
        {&MainWindowControls::Timer5, "Timer5", 6000, true, true},
        {&MainWindowControls::Timerg, "Timerg", 50, false, false},
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
