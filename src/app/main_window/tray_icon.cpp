#include "app/main_window/tray_icon.h"

#include "common/build_config.h"
#include "platform/desktop_notifications.h"
#include "resources/skin_resources.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

namespace qarvel {

QString balloonTitle() { return QString::fromUtf8(config::kProgramName) + QStringLiteral("提示:"); }

TrayIcon::TrayIcon(QObject* parent) : QObject(parent), desktopNotice(&platform::notifyDesktop) {}

TrayIcon::~TrayIcon() { RemoveTrayIcon(); }

bool TrayIcon::available() const { return icon_ && QSystemTrayIcon::isSystemTrayAvailable(); }

void TrayIcon::AddTrayIcon(QWidget* window, QMenu* menu, const QString& tip) {
    RemoveTrayIcon();
    window_ = window;
    icon_ = new QSystemTrayIcon(trayIcon(), this);
    icon_->setToolTip(tip);
    if (menu) icon_->setContextMenu(menu);
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger) leftClick();
    });
    icon_->show();
}

void TrayIcon::leftClick() {
    if (!window_) return;
    if (window_->isMinimized()) {
        window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
        window_->show();
        window_->activateWindow();
        return;
    }
    if (window_->isVisible()) {
        window_->hide();
    } else {
        window_->show();
        window_->activateWindow();
    }
}

void TrayIcon::ShowTrayBalloon(const QString& text) {
    if (icon_ && window_) icon_->setToolTip(window_->windowTitle());
    if (available() && QSystemTrayIcon::supportsMessages()) {
        icon_->showMessage(balloonTitle(), text, QSystemTrayIcon::Information);
        return;
    }
    auto fallback = [this, text] {
        if (balloonFallback) balloonFallback(text);
    };
    if (desktopNotice) {
        desktopNotice(balloonTitle(), text, fallback);
    } else {
        fallback();
    }
}

void TrayIcon::RemoveTrayIcon() {
    if (!icon_) return;
    icon_->hide();
    delete icon_;
    icon_ = nullptr;
}

}  // namespace qarvel
