#pragma once
// What the main window does on its panes' events: the catalogue pane's
// waiting/error panel with its HomePageFailed latch, the failure states of the
// two advertisement panes, which pane may show which context menu, and the
// handlers that reset the live-TV and web-player views.
//
// Handlers are ordinary methods. The constructor connects the panes' signals;
// the window connects the clicks of `catalogueRetryPicture`, `liveTvCloseButton` and `webPlayerCloseButton` to
// jia_Click, gtv_Click and ggx_Click. A control left nullptr skips the steps that use it.
#include "web/web_pane.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

class QLabel;
class QMenu;
class QWidget;

namespace qarvel {
struct MainWindowState;
}

namespace qarvel::web {

struct PaneControls {
    PaneSet panes{};                          // Web1 … Web11
    QWidget* catalogueFrame = nullptr;        // holds the catalogue pane
    QWidget* catalogueWaitPanel = nullptr;    // loading / error panel shown instead of Pic1
    QLabel* catalogueRetryPicture = nullptr;  // picture in `catalogueWaitPanel`; clicking it retries
    QLabel* catalogueErrorPicture = nullptr;  // hidden picture holding the error image
    QWidget* pauseAdFrame = nullptr;          // pause advertisement panel (Web7)
    QWidget* idlePicture = nullptr;           // shown instead of a failed pause advertisement
    QWidget* stopAdFrame = nullptr;           // stop advertisement panel (Web8)
    QWidget* liveTvCloseButton = nullptr;     // close button of the live-TV view
    QWidget* webPlayerFrame = nullptr;        // holds the web player pane (Web2)
    QWidget* playerArea = nullptr;            // holds the player
    QWidget* seekKnob = nullptr;              // seek bar knob
    QWidget* playedBar = nullptr;             // seek bar fill
    QWidget* downloadedBar = nullptr;         // seek bar buffer
    QLabel* filmTitle = nullptr;              // title label
    QLabel* timeText = nullptr;               // time label
    QMenu* mainPopupMenu = nullptr;           // main menu (catalogue pane)
    QMenu* taskMenu = nullptr;                // task menu (network-task list entries)
    QMenu* playerPopupMenu = nullptr;         // player menu (pause advertisement pane)
    std::function<QString()> playerUrl;       // the player's current address
    QString base;                             // service base address, ends in "/box/"
};

class PaneEvents : public QObject {
    Q_OBJECT
public:
    // Shows a menu at a screen position. The default pops up a menu that has
    // items and ignores an empty or missing one.
    using MenuPopper = std::function<void(QMenu* menu, const QPoint& globalPos)>;

    PaneEvents(MainWindowState& state, PaneControls controls, QObject* parent = nullptr);

    void setMenuPopper(MenuPopper popper);

    // DownloadComplete of Web1: back from the waiting panel to the page,
    // unless a failure is latched.
    void onCatalogueLoaded();
    // NavigateError of Web1: a service page failed; show the error panel and
    // latch it. Failures of addresses outside the service are ignored.
    void onCatalogueLoadFailed(const QString& address);
    // Retry: clear the latch and load the base address again.
    void retryCatalogue();
    // NavigateError of Web7 / Web8: never show a broken advertisement.
    void onPauseAdLoadFailed();
    void onStopAdLoadFailed();
    // A right-click in pane `paneNumber` (1 … 11) on the link `href` (may be empty).
    void paneContextMenu(int paneNumber, const QString& href, const QPoint& globalPos);
    // Close the live-TV view (also called when view 3 is left).
    void closeLiveTv();
    // Close the web player view (also called when view 1 is left).
    void closeWebPlayer();

private:
    WebPane* pane(int number) const;
    void popup(QMenu* menu, const QPoint& globalPos);
    bool isServiceAddress(const QString& address) const;

    MainWindowState& state_;
    PaneControls c_;
    MenuPopper popper_;
};

}  // namespace qarvel::web
