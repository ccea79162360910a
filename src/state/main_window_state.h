#pragma once
// The shared state of the main window: every field that several subsystems
// read or write, with its start value. The window owns one instance for its
// whole life; subsystems get a reference to it in their constructors.
#include "state/window_ids.h"

#include <QString>
#include <QStringList>
#include <QRect>
#include <cstdint>

namespace qarvel {

struct MainWindowState {
    int16_t TopMost = 0;    // -1 while always on top
    QRect WorkArea;         // primary screen's work area, pixels
    int WorkAreaWidth = 0;  // the maximised size
    int WorkAreaHeight = 0;
    QString ConfigPath;      // the program's settings file
    int KeepSizeOption = 0;  // "s_size" as read at start
    int SavedWidth = 0;      // "h_w"/"h_h", twips; reread when compact mode ends
    int SavedHeight = 0;
    QString LatestVersion;           // newest version found by the update check
    QString SideWindowOnExit = "0";  // "1": show the side web window at exit
    int SkinApplied = 0;             // 0 until the skin has been applied once
    int HomePageFailed = 0;          // 1 after the catalogue pane failed to load
    int PauseAdState = 0;            // player-area ad pages: 0 not loaded, 1 failed, 2 ready
    int StopAdState = 0;
    int CompactMode = 0;         // 0 normal, 1 from the player tab, 2 from another tab
    qarvel::View CurrentView = qarvel::View::Nothing;
    int RightButtonFlag = 0;     // swallow the next click after a non-left mouse-down
    int16_t PlayStateCache = 0;  // last state and rate read by the status poll
    int16_t TransferRateCache = 0;
    qarvel::SideTab SideTab = qarvel::SideTab::TaskList;
    qarvel::MainTab MainTab = qarvel::MainTab::Catalogue;
    QString QvodFolder;              // player helper programs' folder, trailing separator
    QString ContextLink;             // link of the entry last right-clicked in the task list
    QString BalloonSetting;          // last "s_pao" read by the status poll
    bool ShutDownAfterPlay = false;  // check mark of the player menu's `kaiqi`

    // Scrolling notice line.
    int NoticeLastIndex = 0;
    QStringList NoticeLinks = QStringList(51);
    int NoticeCurrent = 0;
    int NoticeTicks = 0;
    int NoticeBaseTop = 0;
    int NoticeShowMs = 0;
    int NoticeHover = 0;
};

}  // namespace qarvel
