#include "extras/update_check.h"

#include "common/build_config.h"
#include "extras/control_files.h"
#include "platform/text_fetcher.h"
#include "platform/user_dialogs.h"
#include "state/main_window_state.h"

#include <QFileInfo>
#include <QTimer>

namespace qarvel::extras {

QString updateQuestion(const QString& version) {
    return QStringLiteral("检测到最新版本 ") + version + QStringLiteral(" ,你需要现在升级吗？");
}

UpdateCheck::UpdateCheck(MainWindowState& state, UpdateServices services, QString base)
    : state_(state), s_(std::move(services)), base_(std::move(base)) {}

UpdateCheck::~UpdateCheck() {
    if (ticket_) s_.fetcher.cancel(ticket_);
}

void UpdateCheck::checkForUpdate() {
    s_.updateCheckTimer.stop();
    if (ticket_) s_.fetcher.cancel(ticket_);
    ticket_ = s_.fetcher.fetch(base_ + QStringLiteral("lib/wen.txt"), [this](const QString& text) {
        ticket_ = 0;
        apply(text);
    });
}

void UpdateCheck::apply(const QString& text) {
    // Read whole before anything changes: a file that is not one switches nothing.
    const std::optional<UpdateControl> control = parseUpdateControl(text);
    if (!control) return;
    state_.SideWindowOnExit = control->sideWindowOnExit;
    state_.LatestVersion = control->latestVersion;
    if (control->pauseAd && state_.PauseAdState != 1) state_.PauseAdState = 2;
    if (offer()) return;
    if (control->popupNotice && s_.loadPopup) s_.loadPopup();
    if (control->scrollingNotice && s_.startNotice) s_.startNotice();
    if (control->stopAd && state_.StopAdState != 1) {
        state_.StopAdState = 2;
        if (s_.showStopAd) s_.showStopAd();
    }
}

void UpdateCheck::shengji() {
    if (!offer()) {
        if (!isUpdateOffered(state_.LatestVersion, QString::fromUtf8(config::kVersion)))
            s_.dialogs.informWithQuestionMark(kNoticeCaption, kLatestVersionText);
    }
}

bool UpdateCheck::offer() {
    if (!isUpdateOffered(state_.LatestVersion, QString::fromUtf8(config::kVersion))) return false;
    if (!s_.dialogs.askYesNo(kNoticeCaption, updateQuestion(state_.LatestVersion))) return false;
    runUpdate();
    return true;
}

void UpdateCheck::runUpdate() {
    // A failure to start either is ignored: the program quits all the same.
    if (!s_.updateProgram.isEmpty() && QFileInfo(s_.updateProgram).isFile())
        s_.shell.startDetached(s_.updateProgram, {});
    else s_.shell.openUrl(base_ + QStringLiteral("update/update.exe"));
    state_.SideWindowOnExit = QStringLiteral("0");
    if (s_.exitProgram) s_.exitProgram();
}

}  // namespace qarvel::extras
