#pragma once
// The update check: six seconds after start the service's update control file
// is read once; it offers a newer version and switches the service's features
// on (advertisement panels, pop-up notice, scrolling notice, side window at
// exit). The menu's "check for updates" repeats the offer from what was read.
#include <QString>
#include <functional>

class QTimer;

namespace qarvel {
struct MainWindowState;
namespace platform {
class Shell;
class TextFetcher;
class UserDialogs;
}  // namespace platform
}  // namespace qarvel

namespace qarvel::extras {

struct UpdateControl;

inline const QString kNoticeCaption = QStringLiteral("提示：");
inline const QString kLatestVersionText = QStringLiteral("你现在使用的是最新版本，无需升级!");
QString updateQuestion(const QString& version);

struct UpdateServices {
    platform::TextFetcher& fetcher;
    platform::UserDialogs& dialogs;
    platform::Shell& shell;
    QTimer& updateCheckTimer;
    QString updateProgram;              // update.exe in the program folder
    std::function<void()> showStopAd;   // shows the stop advertisement panel
    std::function<void()> loadPopup;    // loads the pop-up notice window
    std::function<void()> startNotice;  // starts the scrolling notice
    std::function<void()> exitProgram;  // the exit procedure
};

class UpdateCheck {
public:
    // base: the service base address, ending in "/".
    UpdateCheck(MainWindowState& state, UpdateServices services, QString base);
    ~UpdateCheck();
    UpdateCheck(const UpdateCheck&) = delete;
    UpdateCheck& operator=(const UpdateCheck&) = delete;

    // The timer's one tick: asks for the control file; apply() takes the answer.
    void checkForUpdate();
    // The answer to the control file's fetch; empty text for a failed fetch.
    void apply(const QString& text);
    // The menu entry: the offer again, from the version read at start.
    void shengji();

    bool fetchPending() const { return ticket_ != 0; }

private:
    // Asks the update question; true when the user took the update (and the
    // program is on its way out).
    bool offer();
    void runUpdate();

    MainWindowState& state_;
    UpdateServices s_;
    QString base_;
    quint64 ticket_ = 0;
};

}  // namespace qarvel::extras
