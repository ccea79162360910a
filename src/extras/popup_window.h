#pragma once
// The pop-up notice window `tankou`: reads the service's pop-up control file,
// waits, then shows a series of pages one after another in a borderless
// always-on-top window in the bottom-right corner of the screen, each page
// sizing the window to its own content; optionally the series repeats. The
// close picture and a link that opens a new window hide the window; the
// series goes on. The window ends (finished()) when the series ends.
#include "extras/control_files.h"

#include <QRect>
#include <QWidget>
#include <functional>

class QTimer;

namespace qarvel::platform {
class Shell;
class TextFetcher;
}  // namespace qarvel::platform
namespace qarvel::web {
class WebPane;
}
namespace qarvel::window {
class Label;
}

namespace qarvel::extras {

struct PopupServices {
    platform::TextFetcher& fetcher;
    platform::Shell& shell;
    // The screen the window sits on; default: the primary screen.
    std::function<QRect()> screen = {};
};

class PopupWindow : public QWidget {
    Q_OBJECT
public:
    // Largest window, in pixels (12000 × 9000 twips).
    static constexpr int kMaxWidth = 800;
    static constexpr int kMaxHeight = 600;
    // Distance kept from the screen's bottom edge, for the taskbar.
    static constexpr int kBottomGap = 32;

    // base: the service base address, ending in "/". Load() starts it.
    PopupWindow(PopupServices services, QString base, QWidget* parent = nullptr);
    ~PopupWindow() override;

    // The window's load: asks for the control file; nothing shows before the
    // first page has loaded.
    void Load();
    // The control file's text; empty for a failed fetch.
    void apply(const QString& text);
    void waitForFirstPage();
    void showNextPage();
    void hidePopup();

    web::WebPane* Web1() const { return web1_; }
    window::Label* img() const { return img_; }
    QTimer* firstPageTimer() const { return timerc_; }
    QTimer* nextPageTimer() const { return timert_; }
    const PopupControl& control() const { return control_; }
    int pageIndex() const { return pageIndex_; }

signals:
    // The series is over without repeat: the window is to be unloaded.
    void finished();
    // A page of the series has been measured, placed and shown.
    void pageShown(const QString& address);

private:
    void showPage(int index);
    void pageLoaded();
    void placeAndShow(int contentWidth, int contentHeight);
    void newWindow(const QString& address);

    PopupServices s_;
    QString base_;
    QWidget* p1_ = nullptr;
    web::WebPane* web1_ = nullptr;
    window::Label* img_ = nullptr;
    QTimer* timerc_ = nullptr;
    QTimer* timert_ = nullptr;
    PopupControl control_;
    bool shapeOnLoad_ = false;
    int pageIndex_ = 0;
    int minuteTicks_ = 0;
    quint64 ticket_ = 0;
};

}  // namespace qarvel::extras
