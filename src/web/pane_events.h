#pragma once
// What the main window does on its panes' events: the catalogue pane's
// waiting/error panel with its HomePageFailed latch, the failure states of the
// two advertisement panes, which pane may show which context menu, and the
// handlers that reset the live-TV and web-player views.
//
// Handlers are ordinary methods. The constructor connects the panes' signals;
// the window connects the clicks of `jia`, `gtv` and `ggx` to jia_Click,
// gtv_Click and ggx_Click. A control left nullptr skips the steps that use it.
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
    PaneSet panes{};                     // Web1 … Web11
    QWidget* Pic1 = nullptr;             // holds the catalogue pane
    QWidget* wait = nullptr;             // loading / error panel shown instead of Pic1
    QLabel* jia = nullptr;               // picture in `wait`; clicking it retries
    QLabel* w3 = nullptr;                // hidden picture holding the error image
    QWidget* ad_huan = nullptr;          // pause advertisement panel (Web7)
    QWidget* adp = nullptr;              // shown instead of a failed pause advertisement
    QWidget* bo_pad = nullptr;           // stop advertisement panel (Web8)
    QWidget* gtv = nullptr;              // close button of the live-TV view
    QWidget* Pic2 = nullptr;             // holds the web player pane (Web2)
    QWidget* qvod = nullptr;             // holds the player
    QWidget* gunt1 = nullptr;            // seek bar knob
    QWidget* gunt2 = nullptr;            // seek bar fill
    QWidget* huan = nullptr;             // seek bar buffer
    QLabel* bo_name = nullptr;           // title label
    QLabel* times = nullptr;             // time label
    QMenu* myMenu = nullptr;             // main menu (catalogue pane)
    QMenu* webc = nullptr;               // task menu (network-task list entries)
    QMenu* qvod_m = nullptr;             // player menu (pause advertisement pane)
    std::function<QString()> playerUrl;  // the player's current address
    QString base;                        // service base address, ends in "/box/"
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
    void Web1_DownloadComplete();
    // NavigateError of Web1: a service page failed; show the error panel and
    // latch it. Failures of addresses outside the service are ignored.
    void Web1_NavigateError(const QString& address);
    // Retry: clear the latch and load the base address again.
    void jia_Click();
    // NavigateError of Web7 / Web8: never show a broken advertisement.
    void Web7_NavigateError();
    void Web8_NavigateError();
    // A right-click in pane `paneNumber` (1 … 11) on the link `href` (may be empty).
    void paneContextMenu(int paneNumber, const QString& href, const QPoint& globalPos);
    // Close the live-TV view (also called when view 3 is left).
    void gtv_Click();
    // Close the web player view (also called when view 1 is left).
    void ggx_Click();

private:
    WebPane* pane(int number) const;
    void popup(QMenu* menu, const QPoint& globalPos);
    bool isServiceAddress(const QString& address) const;

    MainWindowState& state_;
    PaneControls c_;
    MenuPopper popper_;
};

}  // namespace qarvel::web
