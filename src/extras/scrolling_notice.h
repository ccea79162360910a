#pragma once
// The scrolling notice in the control bar: the service's notices one at a
// time, each sliding up into place, staying about five seconds and giving way
// to the next, for as long as the program runs. Hovering holds and underlines
// a notice; a click opens its link in the system's browser.
//
// The 50 ms timer runs only while a notice slides; between slides it is set
// to fire once, when the notice is due to change, so an idle line costs two
// wake-ups per notice rather than a hundred.
#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QTimer;

namespace qarvel {
struct MainWindowState;
namespace platform {
class Shell;
class TextFetcher;
}  // namespace platform
namespace window {
class Label;
class PictureBox;
}  // namespace window
}  // namespace qarvel

namespace qarvel::extras {

struct NoticeItem;

struct NoticeControls {
    window::PictureBox* controlBar = nullptr;
    window::Label* firstNoticeLine = nullptr;  // the first label; the others are copies of it
    QTimer* noticeScrollTimer = nullptr;
};

struct NoticeServices {
    platform::TextFetcher& fetcher;
    platform::Shell& shell;
    // The bar's other hover looks, reset when the mouse is over the bare bar.
    std::function<void()> resetHoverColours;
};

class ScrollingNotice : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 50;
    static constexpr int kNormalColour = 33023;

    // base: the service base address, ending in "/".
    ScrollingNotice(MainWindowState& state, NoticeControls controls, NoticeServices services, QString base);
    ~ScrollingNotice() override;

    // Starts the notice: asks for the notice file; apply() takes the answer.
    void startNotice();
    // The notice file's text; empty for a failed fetch.
    void apply(const QString& text);
    // One expiry of the timer: as many of its 50 ms steps as it stood for.
    void scrollNotice();
    void noticeLineMouseMove(int index);
    void openNoticeLink(int index);
    void controlBarMouseMove();
    // Undoes the hover look of the notice shown (the window's hover reset).
    void clearHover();

    // The labels in use, element 0 first.
    const QList<window::Label*>& labels() const { return labels_; }
    // How many 50 ms steps the timer's next expiry stands for.
    int pendingSteps() const { return pendingSteps_; }

private:
    void step();
    void scheduleNext();
    window::Label* labelFor(int index);
    void setUnderline(window::Label* label, bool on);

    MainWindowState& state_;
    NoticeControls c_;
    NoticeServices s_;
    QString base_;
    QList<window::Label*> labels_;
    quint64 ticket_ = 0;
    int pendingSteps_ = 1;
};

}  // namespace qarvel::extras
