#pragma once
// Every control of the main window `BA1`, under the names the rest of the
// program uses for them (member names and objectNames alike). The window owns
// the widgets; this table only points at them, so that any subsystem can take
// it without depending on how the controls are built (window/ builds them).
#include "state/window_ids.h"

#include <array>

class QTimer;
class QWidget;

namespace qarvel::window {

class PictureBox;
class Label;

struct MainWindowControls {
    QWidget* BA1 = nullptr;

    // Title strip.
    PictureBox* Imi = nullptr;
    Label* ni_name = nullptr;
    // Window buttons, indexed by WindowButton: the title bar's, the sidebar
    // strips and header, and the main and side tabs.
    std::array<PictureBox*, kWindowButtonCount> npc{};
    QWidget* P1 = nullptr;  // balloon of the title-bar buttons
    Label* bo_tip = nullptr;
    Label* jbi = nullptr;     // leaves compact mode
    Label* ni_bo1 = nullptr;  // compact title

    // Pages of the main tabs.
    QWidget* zzp = nullptr;   // MainTab::Catalogue
    QWidget* zz = nullptr;    // MainTab::Player
    QWidget* tv = nullptr;    // MainTab::LiveTv
    QWidget* ying = nullptr;  // MainTab::Highlights

    // Catalogue page.
    QWidget* Pic1 = nullptr;
    QWidget* wait = nullptr;
    Label* jia = nullptr;  // the waiting picture; after a failure the error picture
    Label* w3 = nullptr;   // hidden, holds the error picture

    // Player page.
    QWidget* l2 = nullptr;
    QWidget* L1 = nullptr;
    QWidget* Pic2 = nullptr;
    PictureBox* ggx = nullptr;
    QWidget* Pic3 = nullptr;
    QWidget* Pic4 = nullptr;
    QWidget* Pic5 = nullptr;
    QWidget* shan = nullptr;
    Label* qk = nullptr;

    // Live-TV page.
    QWidget* tvleft = nullptr;
    QWidget* tvright = nullptr;
    PictureBox* gtv = nullptr;

    // Player area.
    QWidget* qvod = nullptr;
    QWidget* Qvodx = nullptr;
    QWidget* QvodC = nullptr;  // the player's video widget, once attached
    Label* Lqvod = nullptr;
    QWidget* bo_zt = nullptr;
    Label* zhun = nullptr;
    Label* times = nullptr;
    Label* bo_name = nullptr;
    PictureBox* gunt = nullptr;
    PictureBox* gunt1 = nullptr;
    Label* gunt2 = nullptr;
    Label* huan = nullptr;
    QWidget* bo_ad = nullptr;
    PictureBox* adp = nullptr;
    QWidget* bo_pad = nullptr;
    QWidget* ad_huan = nullptr;
    Label* next_s = nullptr;

    // Control bar.
    PictureBox* bo_foot = nullptr;
    std::array<PictureBox*, 8> bo_but{};
    PictureBox* yin = nullptr;
    PictureBox* bo_v = nullptr;
    Label* bo_y = nullptr;
    std::array<Label*, 1> La{};

    QWidget* tj = nullptr;  // holds the usage-ping pane

    // Browser panes Web1 to Web11, indexed by Pane; index 0 is unused.
    std::array<QWidget*, kPaneCount + 1> Web{};

    // The window's timers; each is driven by the subsystem its comment names.
    QTimer* Timer1 = nullptr;  // status poll, 1000 ms, on
    QTimer* Timer2 = nullptr;  // end of play, 2000 ms, off, once
    QTimer* Timer3 = nullptr;  // player host check, 10 ms, on, once
    QTimer* Timer4 = nullptr;  // next-episode retry, 50000 ms, off
    QTimer* Timer5 = nullptr;  // update check, 6000 ms, on, once
    QTimer* Timerg = nullptr;  // scrolling notice, 50 ms, off

    // The page shown by a main tab, or null.
    QWidget* mainTabPage(MainTab tab) const {
        switch (tab) {
        case MainTab::Catalogue: return zzp;
        case MainTab::Player: return zz;
        case MainTab::LiveTv: return tv;
        case MainTab::Highlights: return ying;
        }
        return nullptr;
    }
    // The page shown by a side tab, or null.
    QWidget* sideTabPage(SideTab tab) const {
        switch (tab) {
        case SideTab::EpisodeList: return Pic5;
        case SideTab::TaskList: return Pic3;
        case SideTab::LocalList: return Pic4;
        }
        return nullptr;
    }
};

}  // namespace qarvel::window
