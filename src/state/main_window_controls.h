#pragma once
// Every control of the main window `mainWindow`, under the names the rest of the
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
    QWidget* mainWindow = nullptr;

    // Title strip.
    PictureBox* logo = nullptr;
    Label* titleCaption = nullptr;
    // Window buttons, indexed by WindowButton: the title bar's, the sidebar
    // strips and header, and the main and side tabs.
    std::array<PictureBox*, kWindowButtonCount> windowButtons{};
    QWidget* buttonBalloon = nullptr;  // balloon of the title-bar buttons
    Label* balloonText = nullptr;
    Label* leaveCompactButton = nullptr;  // leaves compact mode
    Label* compactTitle = nullptr;        // compact title

    // Pages of the main tabs.
    QWidget* cataloguePage = nullptr;   // MainTab::Catalogue
    QWidget* playerPage = nullptr;      // MainTab::Player
    QWidget* liveTvPage = nullptr;      // MainTab::LiveTv
    QWidget* highlightsPage = nullptr;  // MainTab::Highlights

    // Catalogue page.
    QWidget* catalogueFrame = nullptr;
    QWidget* catalogueWaitPanel = nullptr;
    Label* catalogueRetryPicture = nullptr;  // the waiting picture; after a failure the error picture
    Label* catalogueErrorPicture = nullptr;  // hidden, holds the error picture

    // Player page.
    QWidget* playerSidebar = nullptr;
    QWidget* playerLeftArea = nullptr;
    QWidget* webPlayerFrame = nullptr;
    PictureBox* webPlayerCloseButton = nullptr;
    QWidget* taskListFrame = nullptr;
    QWidget* localListFrame = nullptr;
    QWidget* episodeListFrame = nullptr;
    QWidget* sidebarFooter = nullptr;
    Label* sideListCommand = nullptr;

    // Live-TV page.
    QWidget* liveTvFrame = nullptr;
    QWidget* channelSidebar = nullptr;
    PictureBox* liveTvCloseButton = nullptr;

    // Player area.
    QWidget* playerArea = nullptr;
    QWidget* videoFrame = nullptr;
    QWidget* playerVideo = nullptr;  // the player's video widget, once attached
    Label* videoOverlay = nullptr;
    QWidget* statusStrip = nullptr;
    Label* statusText = nullptr;
    Label* timeText = nullptr;
    Label* filmTitle = nullptr;
    PictureBox* seekBar = nullptr;
    PictureBox* seekKnob = nullptr;
    Label* playedBar = nullptr;
    Label* downloadedBar = nullptr;
    QWidget* adArea = nullptr;
    PictureBox* idlePicture = nullptr;
    QWidget* stopAdFrame = nullptr;
    QWidget* pauseAdFrame = nullptr;
    Label* nextEpisodeNotice = nullptr;

    // Control bar.
    PictureBox* controlBar = nullptr;
    std::array<PictureBox*, 8> transportButtons{};
    PictureBox* volumeTrack = nullptr;
    PictureBox* volumeKnob = nullptr;
    Label* volumeFill = nullptr;
    std::array<Label*, 1> noticeLines{};

    QWidget* usagePingFrame = nullptr;  // holds the usage-ping pane

    // Browser panes Web1 to Web11, indexed by Pane; index 0 is unused.
    std::array<QWidget*, kPaneCount + 1> webPanes{};

    // The window's timers; each is driven by the subsystem its comment names.
    QTimer* statusPollTimer = nullptr;        // status poll, 1000 ms, on
    QTimer* endOfPlayTimer = nullptr;         // end of play, 2000 ms, off, once
    QTimer* playerHostCheckTimer = nullptr;   // player host check, 10 ms, on, once
    QTimer* retryNextEpisodeTimer = nullptr;  // next-episode retry, 50000 ms, off
    QTimer* updateCheckTimer = nullptr;       // update check, 6000 ms, on, once
    QTimer* noticeScrollTimer = nullptr;      // scrolling notice, 50 ms, off

    // The page shown by a main tab, or null.
    QWidget* mainTabPage(MainTab tab) const {
        switch (tab) {
        case MainTab::Catalogue: return cataloguePage;
        case MainTab::Player: return playerPage;
        case MainTab::LiveTv: return liveTvPage;
        case MainTab::Highlights: return highlightsPage;
        }
        return nullptr;
    }
    // The page shown by a side tab, or null.
    QWidget* sideTabPage(SideTab tab) const {
        switch (tab) {
        case SideTab::EpisodeList: return episodeListFrame;
        case SideTab::TaskList: return taskListFrame;
        case SideTab::LocalList: return localListFrame;
        }
        return nullptr;
    }
};

}  // namespace qarvel::window
