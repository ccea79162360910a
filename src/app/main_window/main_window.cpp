#include "app/main_window/main_window.h"

#include "resources/skin_resources.h"
#include "web/web_environment.h"
#include "web/web_pane.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>

namespace qarvel {

namespace {

window::PaneFactory browserPanes(const ProgramFiles& files) {
    return
        [files](int, QWidget* parent) -> QWidget* { return new web::WebPane(parent, web::createSharedProfile(files)); };
}

window::Skin::PictureLoader compiledInPictures(window::Skin::PictureLoader given) {
    return given ? std::move(given) : window::Skin::PictureLoader(&skinPicture);
}

}  // namespace

MainWindow::MainWindow(MainWindowDeps deps)
    : QWidget(nullptr),
      ownSettings_(deps.settings ? nullptr : std::make_unique<window::ConfigFileSettings>(state_)),
      settings_(deps.settings ? deps.settings : ownSettings_.get()),
      skin_(compiledInPictures(std::move(deps.skinPictures)), &skinLogo) {
    // No system frame: the skin draws it. The minimise and maximise flags
    // let the taskbar minimise and restore the window all the same.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinMaxButtonsHint | Qt::WindowSystemMenuHint);
    setWindowIcon(programIcon());
    setAttribute(Qt::WA_DeleteOnClose, false);
    state_.ConfigPath = deps.files.settings;
    c_ = window::buildMainWindowControls(this, deps.paneFactory ? deps.paneFactory : browserPanes(deps.files));
    tray_.balloonFallback = [this](const QString& text) { showNotice(text); };
}

void MainWindow::showNotice(const QString& text) {
    if (!notice_) {
        notice_ = new QLabel(this);
        notice_->setObjectName(QStringLiteral("balloon"));
        notice_->setTextFormat(Qt::PlainText);  // notices name films and files
        notice_->setWordWrap(true);
        notice_->setStyleSheet(QStringLiteral("background:#ffffe1;color:#000;border:1px solid #767676;padding:6px;"));
        noticeTime_ = new QTimer(this);
        noticeTime_->setSingleShot(true);
        connect(noticeTime_, &QTimer::timeout, notice_, &QWidget::hide);
    }
    notice_->setText(balloonTitle() + QStringLiteral("\n") + text);
    notice_->setFixedWidth(qMin(320, width() - 20));
    notice_->adjustSize();
    // Bottom right, above the player bar, like a balloon over a tray.
    notice_->move(width() - notice_->width() - 10, height() - notice_->height() - 60);
    notice_->show();
    notice_->raise();
    noticeTime_->start(6000);
}

MainWindow::~MainWindow() { tray_.RemoveTrayIcon(); }

web::WebPane* MainWindow::pane(int n) const {
    return n >= 1 && n <= 11 ? qobject_cast<web::WebPane*>(c_.Web[n]) : nullptr;
}

bool MainWindow::grabScreenshot(const QString& path) { return grab().save(path, "PNG"); }

void MainWindow::closeEvent(QCloseEvent* event) {
    // Only the window system's close is spontaneous; the application's quit
    // also closes every window, and must not stop at a question.
    if (event->spontaneous() && closeRequested && !closeRequested()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace qarvel
