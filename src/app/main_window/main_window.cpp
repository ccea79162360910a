#include "app/main_window/main_window.h"

#include "resources/skin_resources.h"
#include "web/web_environment.h"
#include "web/web_pane.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace qarvel {

namespace {

window::PaneFactory browserPanes(const ProgramFiles& files, web::WebPane* catalogueAhead) {
    return [files, catalogueAhead](int n, QWidget* parent) -> QWidget* {
        if (n == Pane::Catalogue && catalogueAhead) return catalogueAhead;
        return new web::WebPane(parent, web::createSharedProfile(files));
    };
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
    c_ = window::buildMainWindowControls(
        this, deps.paneFactory ? deps.paneFactory : browserPanes(deps.files, deps.catalogueAhead));
    tray_.balloonFallback = [this](const QString& text) { showNotice(text); };
    // What a screen reader says when a menu opens.
    menus_.trayMenu.setAccessibleName(QStringLiteral("主菜单"));
    menus_.mainPopupMenu.setAccessibleName(QStringLiteral("影视菜单"));
    menus_.taskMenu.setAccessibleName(QStringLiteral("任务菜单"));
    menus_.taskListMenu.setAccessibleName(QStringLiteral("任务列表菜单"));
    menus_.playerPopupMenu.setAccessibleName(QStringLiteral("播放器菜单"));
}

void MainWindow::showNotice(const QString& text) {
    if (!notice_) {
        // A small window of its own above the main window, as a tooltip is:
        // the film's native window covers every widget painted inside the
        // main window, so a notice drawn there would sit under the picture.
        notice_ = new QLabel(this, Qt::ToolTip | Qt::FramelessWindowHint);
        notice_->setAttribute(Qt::WA_ShowWithoutActivating);
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
    placeNotice();
    notice_->show();
    notice_->raise();
    noticeTime_->start(6000);
}

void MainWindow::placeNotice() {
    if (notice_) notice_->move(mapToGlobal(QPoint(width() - notice_->width() - 10, height() - notice_->height() - 60)));
}

void MainWindow::moveEvent(QMoveEvent* event) {
    placeNotice();
    QWidget::moveEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    placeNotice();
    QWidget::resizeEvent(event);
}

void MainWindow::hideEvent(QHideEvent* event) {
    // The notice belongs to the window: it does not stay behind on its own.
    if (notice_ && !event->spontaneous()) notice_->hide();
    QWidget::hideEvent(event);
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && isMinimized() && notice_) notice_->hide();
    QWidget::changeEvent(event);
}

MainWindow::~MainWindow() { tray_.RemoveTrayIcon(); }

web::WebPane* MainWindow::pane(int n) const {
    return n >= Pane::Catalogue && n <= kPaneCount ? qobject_cast<web::WebPane*>(c_.webPanes[n]) : nullptr;
}

bool MainWindow::grabScreenshot(const QString& path) {
    // The film is drawn in a native window of its own, which a grab of the
    // widgets sees black: the window is taken from the screen, as the viewer
    // sees it. Where the screen cannot be read (hidden, minimised, a desktop
    // that gives no screen pictures), the widgets are drawn instead.
    QPixmap shot;
    QScreen* where = screen();
    if (where && isVisible() && !isMinimized()) {
        const QRect frame = frameGeometry().translated(-where->geometry().topLeft());
        shot = where->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    }
    if (shot.isNull()) shot = grab();
    return shot.save(path, "PNG");
}

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
