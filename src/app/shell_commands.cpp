#include "app/shell_commands.h"

#include "app/main_window/tray_icon.h"
#include "common/build_config.h"
#include "platform/process_finder.h"
#include "platform/user_dialogs.h"
#include "window/window_settings.h"

#include <QMenu>
#include <QTimer>
#include <QWidget>

namespace qarvel {

namespace {

const QString kSection = QStringLiteral("S_q");
const QString kNoticeCaption = QStringLiteral("提示：");

}  // namespace

QString closeQuestion() {
    return QStringLiteral("关闭 ") + QString::fromUtf8(config::kProgramName) + QStringLiteral("  最小化到托盘吗？");
}

ShellCommands::ShellCommands(MainWindowState& state, QWidget* window, QTimer* playerHostCheckTimer, QMenu* trayMenu,
                             QWidget* menuButton, ShellServices services, QObject* parent)
    : QObject(parent),
      state_(state),
      window_(window),
      playerHostCheckTimer_(playerHostCheckTimer),
      r_m_(trayMenu),
      menuButton_(menuButton),
      s_(std::move(services)) {
    if (!s_.popup) s_.popup = [](QMenu* menu, const QPoint& pos) { menu->popup(pos); };
}

void ShellCommands::closeButton() {
    auto& settings = s_.settings;
    if (window::readNumber(settings, kSection, QStringLiteral("ts")) != 3) {
        if (window::readNumber(settings, kSection, QStringLiteral("quit")) != 1) {
            hideToTray();
        } else {
            exitProgram();
        }
        return;
    }
    // The question is asked once.
    settings.store(kSection, QStringLiteral("ts"), QStringLiteral("1"));
    if (s_.dialogs.askYesNo(kNoticeCaption, closeQuestion())) {
        settings.store(kSection, QStringLiteral("quit"), QStringLiteral("2"));
        hideToTray();
    } else {
        settings.store(kSection, QStringLiteral("quit"), QStringLiteral("1"));
        exitProgram();
    }
}

void ShellCommands::hideToTray() {
    if (s_.tray.available()) {
        window_->hide();
    } else {
        window_->showMinimized();
    }
}

void ShellCommands::exitProgram() {
    if (exiting_) return;
    exiting_ = true;
    s_.tray.RemoveTrayIcon();
    const int qvodk = window::readNumber(s_.settings, kSection, QStringLiteral("qvodk"));
    if (state_.CurrentView == View::Player && s_.pressStop) s_.pressStop();
    if (qvodk == 2) {
        if (s_.endHelper) {
            s_.endHelper(kPlayerProcess);
            s_.endHelper(kTerminalProcess);
        }
        // The platform leaves no stale tray icons of ended processes behind.
    }
    if (s_.cancelRequests) s_.cancelRequests();
    if (s_.closeMenus) s_.closeMenus();
    if (s_.closeNotice) s_.closeNotice();
    if (s_.closeSettings) s_.closeSettings();
    window_->close();
    if (!sessionEnding_ && state_.SideWindowOnExit == QLatin1String("1") && s_.showSideWindow) {
        s_.showSideWindow();
        return;
    }
    if (s_.endProcess) s_.endProcess();
}

void ShellCommands::endSession() {
    // An exit that waits for its side window to close ends now.
    if (exiting_) {
        if (s_.endProcess) s_.endProcess();
        return;
    }
    sessionEnding_ = true;
    exitProgram();
}

void ShellCommands::takeSecondStartCommand(const QString& text) {
    if (playerHostCheckTimer_) playerHostCheckTimer_->start();
    // Hiding and showing again brings the window forward and out of the tray.
    window_->hide();
    window_->show();
    if (window_->isMinimized()) window_->showNormal();
    window_->raise();
    window_->activateWindow();
    if (!text.isEmpty()) playTarget(text);
}

void ShellCommands::playTarget(const QString& text) {
    if (state_.CompactMode != 0 && s_.leaveCompactMode) s_.leaveCompactMode();
    if (s_.pressWindowButton) s_.pressWindowButton(WindowButton::PlayerTab);
    if (s_.switchView) s_.switchView(View::Player);
    QString command = text;
    if (s_.runCommandText) s_.runCommandText(command);
}

QPoint ShellCommands::mainMenuPosition() const {
    const QPoint inWindow = menuButton_->mapTo(window_, QPoint(0, 0)) + QPoint(-15, 20);
    return window_->mapToGlobal(inWindow);
}

void ShellCommands::popupMainMenu() {
    if (r_m_ && menuButton_) s_.popup(r_m_, mainMenuPosition());
}

}  // namespace qarvel
