#include "extras/popup_window.h"

#include "extras/browser_link.h"
#include "extras/close_picture.h"
#include "platform/text_fetcher.h"
#include "web/web_pane.h"
#include "window/picture_box.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QVariantList>
#include <QWebEnginePage>

namespace qarvel::extras {

namespace {

// Measures the page's content and takes away its border, scroll bars and margin.
const char kMeasureScript[] = R"JS((function () {
  var b = document.body;
  if (!b) return [0, 0];
  var w = b.scrollWidth, h = b.scrollHeight;
  b.style.border = '0px';
  b.style.overflow = 'hidden';
  b.style.margin = '0px';
  return [w, h];
})())JS";

}  // namespace

PopupWindow::PopupWindow(PopupServices services, QString base, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      s_(std::move(services)),
      base_(std::move(base)) {
    setObjectName(QStringLiteral("tankou"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    // The notice never keeps the program alive after its main window.
    setAttribute(Qt::WA_QuitOnClose, false);
    if (!s_.screen)
        s_.screen = [] {
            const QScreen* screen = QGuiApplication::primaryScreen();
            return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
        };
    p1_ = new QWidget(this);
    p1_->setObjectName(QStringLiteral("P1"));
    web1_ = new web::WebPane(p1_);
    web1_->setObjectName(QStringLiteral("Web1"));
    img_ = makeClosePicture(this, QStringLiteral("img"));
    timerc_ = new QTimer(this);
    timerc_->setObjectName(QStringLiteral("Timerc"));
    timerc_->setInterval(1000);
    timert_ = new QTimer(this);
    timert_->setObjectName(QStringLiteral("Timert"));
    timert_->setInterval(60000);
    connect(timerc_, &QTimer::timeout, this, &PopupWindow::waitForFirstPage);
    connect(timert_, &QTimer::timeout, this, &PopupWindow::showNextPage);
    connect(img_, &window::Label::clicked, this, &PopupWindow::hidePopup);
    connect(web1_, &web::WebPane::downloadComplete, this, &PopupWindow::pageLoaded);
    connect(web1_, &web::WebPane::newWindowRequested, this, &PopupWindow::newWindow);
    resize(1, 1);
    p1_->setGeometry(0, 0, 1, 1);
    web1_->setGeometry(0, 0, 1, 1);
}

PopupWindow::~PopupWindow() {
    if (ticket_) s_.fetcher.cancel(ticket_);
}

void PopupWindow::Load() {
    shapeOnLoad_ = false;
    web1_->navigate(QStringLiteral("about:blank"));
    if (ticket_) s_.fetcher.cancel(ticket_);
    ticket_ = s_.fetcher.fetch(base_ + QStringLiteral("lib/tan.txt"), [this](const QString& text) {
        ticket_ = 0;
        apply(text);
    });
}

void PopupWindow::apply(const QString& text) {
    // A file that is not one leaves the window loaded and silent.
    const std::optional<PopupControl> control = parsePopupControl(text);
    if (!control) return;
    control_ = *control;
    pageIndex_ = 0;
    minuteTicks_ = 0;
    timerc_->start();
}

void PopupWindow::waitForFirstPage() {
    if (++pageIndex_ < control_.firstDelaySeconds) return;
    shapeOnLoad_ = true;
    timerc_->stop();
    pageIndex_ = 0;
    showPage(0);
    timert_->start();
}

void PopupWindow::showNextPage() {
    if (++minuteTicks_ < control_.intervalMinutes) return;
    ++pageIndex_;
    if (pageIndex_ >= control_.pages.size()) {
        pageIndex_ = 0;
        if (!control_.repeat) {
            timert_->stop();
            hide();
            emit finished();
            return;
        }
    }
    hide();
    minuteTicks_ = 0;
    showPage(pageIndex_);
}

void PopupWindow::showPage(int index) {
    // A tiny pane lets the next page measure its own content.
    web1_->setGeometry(0, 0, 1, 1);
    if (index >= 0 && index < control_.pages.size()) web1_->navigate(control_.pages[index]);
}

void PopupWindow::pageLoaded() {
    if (!shapeOnLoad_) return;
    const QString address = web1_->url().toString();
    web1_->page()->runJavaScript(QString::fromLatin1(kMeasureScript),
                                 [self = QPointer<PopupWindow>(this), address](const QVariant& result) {
                                     if (!self) return;
                                     const QVariantList size = result.toList();
                                     // A page that cannot be measured is still placed and shown.
                                     const int w = size.size() == 2 ? size[0].toInt() : 0;
                                     const int h = size.size() == 2 ? size[1].toInt() : 0;
                                     self->placeAndShow(w, h);
                                     emit self->pageShown(address);
                                 });
}

void PopupWindow::placeAndShow(int contentWidth, int contentHeight) {
    const int w = qBound(1, contentWidth, kMaxWidth);
    const int h = qBound(1, contentHeight, kMaxHeight);
    resize(w, h);
    p1_->setGeometry(0, 0, w, h);
    window::placeWithOverhang(web1_, p1_);
    const QRect screen = s_.screen();
    move(screen.x() + screen.width() - w - 1, screen.y() + screen.height() - h - kBottomGap);
    img_->move(w - img_->width() - 1, 1);
    img_->raise();
    show();
}

void PopupWindow::hidePopup() { hide(); }

void PopupWindow::newWindow(const QString& address) {
    hide();
    openInBrowser(s_.shell, address);
}

}  // namespace qarvel::extras
