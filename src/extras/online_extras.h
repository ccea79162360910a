#pragma once
// What the service switches on, held together: the update check and the
// features its control file turns on (the scrolling notice, the pop-up notice
// window, the side window at exit). The application makes one and connects
// its menu entry and exit sequence to shengji() and showSideWindowAtExit().
#include <QRect>
#include <QString>
#include <functional>
#include <memory>

class QTimer;
class QWidget;

namespace qarvel {
struct MainWindowState;
namespace platform {
class Shell;
class TextFetcher;
class UserDialogs;
}  // namespace platform
namespace window {
class Label;
class PictureBox;
}  // namespace window
}  // namespace qarvel

namespace qarvel::extras {

class PopupWindow;
class ScrollingNotice;
class SideWindow;
class UpdateCheck;

struct ExtrasControls {
    QTimer* updateCheckTimer = nullptr;
    QTimer* noticeScrollTimer = nullptr;
    window::PictureBox* controlBar = nullptr;
    window::Label* firstNoticeLine = nullptr;
    QWidget* stopAdFrame = nullptr;
};

struct ExtrasServices {
    platform::TextFetcher& fetcher;
    platform::UserDialogs& dialogs;
    platform::Shell& shell;
    QString updateProgram;                    // update.exe in the program folder
    std::function<void()> exitProgram;        // the exit procedure, for a taken update
    std::function<void()> resetHoverColours;  // the control bar's other hover looks
    std::function<QRect()> screen = {};       // where the pop-up sits; default: the primary screen
};

class OnlineExtras {
public:
    // base: the service base address, ending in "/".
    OnlineExtras(MainWindowState& state, ExtrasControls controls, ExtrasServices services, QString base);
    ~OnlineExtras();
    OnlineExtras(const OnlineExtras&) = delete;
    OnlineExtras& operator=(const OnlineExtras&) = delete;

    // The menu entry "升级检测".
    void shengji();
    // At exit: shows the side window when the control file asked for it
    // (SideWindowOnExit exactly "1") and runs whenClosed once it has closed.
    // False, and whenClosed never runs, when it is not shown.
    bool showSideWindowAtExit(std::function<void()> whenClosed);

    // Loads the pop-up notice window (the control file's switch).
    void loadPopup();

    UpdateCheck& updateCheck() { return *update_; }
    ScrollingNotice& notice() { return *notice_; }
    // Null until loaded or shown.
    PopupWindow* popup() const { return popup_.get(); }
    SideWindow* sideWindow() const { return side_.get(); }

private:
    MainWindowState& state_;
    ExtrasControls c_;
    ExtrasServices s_;
    QString base_;
    std::unique_ptr<ScrollingNotice> notice_;
    std::unique_ptr<UpdateCheck> update_;
    std::unique_ptr<PopupWindow> popup_;
    std::unique_ptr<SideWindow> side_;
};

}  // namespace qarvel::extras
