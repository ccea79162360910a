#include "extras/side_window.h"

#include "extras/browser_link.h"
#include "extras/close_picture.h"
#include "web/web_pane.h"
#include "window/picture_box.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace qarvel::extras {

SideWindow::SideWindow(platform::Shell& shell, const QString& base, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), shell_(shell) {
    setObjectName(QStringLiteral("ba4"));
    setWindowTitle(kSideWindowCaption);
    pc1_ = new QWidget(this);
    pc1_->setObjectName(QStringLiteral("Pc1"));
    web1_ = new web::WebPane(pc1_);
    web1_->setObjectName(QStringLiteral("Web1"));
    picture1_ = makeClosePicture(pc1_, QStringLiteral("Picture1"));
    picture1_->hide();
    timer2_ = new QTimer(this);
    timer2_->setObjectName(QStringLiteral("Timer2"));
    timer2_->setInterval(1000);
    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(20000);
    connect(timer1_, &QTimer::timeout, this, &SideWindow::closeSideWindow);
    connect(timer2_, &QTimer::timeout, this, &SideWindow::showClosePicture);
    connect(picture1_, &window::Label::clicked, this, &SideWindow::closeFromPicture);
    connect(web1_, &web::WebPane::newWindowRequested, this, &SideWindow::newWindow);
    resize(kWidth, kHeight);
    // The bottom-right corner of the work area, out of the way.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.right() - kWidth - 8, area.bottom() - kHeight - 8);
    }
    web1_->navigate(base + QStringLiteral("js/ads/tui.html"));
    timer2_->start();
    timer1_->start();
}

void SideWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isMinimized()) return;
    pc1_->setGeometry(0, 0, width(), height());
    window::placeWithOverhang(web1_, pc1_);
    picture1_->move(pc1_->width() - 55, 5);
}

void SideWindow::showClosePicture() {
    timer2_->stop();
    picture1_->show();
    picture1_->raise();
}

void SideWindow::closeSideWindow() {
    timer1_->stop();
    close();
}

void SideWindow::closeFromPicture() { close(); }

void SideWindow::newWindow(const QString& address) {
    close();
    openInBrowser(shell_, address);
}

void SideWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    timer1_->stop();
    timer2_->stop();
    if (closed_) return;
    closed_ = true;
    emit closed();
}

}  // namespace qarvel::extras
