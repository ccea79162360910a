#include "window/window_chrome.h"

#include "window/units.h"

#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

namespace qarvel::window {

namespace {
constexpr int kBand = 3;
constexpr int kSettleMs = 400;
}  // namespace

EdgeZone edgeZoneAt(int x, int y, int W, int H) {
    const bool left = x <= kBand;
    const bool right = !left && x >= W - kBand;
    const bool top = y <= kBand;
    const bool bottom = !top && y >= H - kBand;
    if (left) {
        if (top) return {8, 13, Qt::LeftEdge | Qt::TopEdge};
        if (bottom) return {6, 16, Qt::LeftEdge | Qt::BottomEdge};
        return {9, 10, Qt::LeftEdge};
    }
    if (right) {
        if (top) return {6, 14, Qt::RightEdge | Qt::TopEdge};
        if (bottom) return {8, 17, Qt::RightEdge | Qt::BottomEdge};
        return {9, 11, Qt::RightEdge};
    }
    if (top) return {7, 12, Qt::TopEdge};
    if (bottom) return {7, 15, Qt::BottomEdge};
    return {};
}

Qt::CursorShape cursorShape(int cursor) {
    switch (cursor) {
    case 6: return Qt::SizeBDiagCursor;
    case 7: return Qt::SizeVerCursor;
    case 8: return Qt::SizeFDiagCursor;
    case 9: return Qt::SizeHorCursor;
    default: return Qt::ArrowCursor;
    }
}

WindowChrome::WindowChrome(MainWindowControls& c, MainWindowState& state, const Skin& skin, MainWindowLayout& layout,
                           WindowSettings& settings)
    : QObject(c.mainWindow), c_(c), state_(state), skin_(skin), layout_(layout), settings_(settings) {
    sizeSettled_.setSingleShot(true);
    sizeSettled_.setInterval(kSettleMs);
    // The resize may go on after a pause; the size is stored again then.
    connect(&sizeSettled_, &QTimer::timeout, this, [this] {
        if (sizingActive_) storeSize();
    });
    startSystemResize = [this](Qt::Edges edges) {
        QWindow* handle = c_.mainWindow->windowHandle();
        return handle && handle->startSystemResize(edges);
    };
    startSystemMove = [this] {
        QWindow* handle = c_.mainWindow->windowHandle();
        return handle && handle->startSystemMove();
    };
    c_.mainWindow->setMouseTracking(true);
    c_.mainWindow->installEventFilter(this);
    connectHovers();
}

void WindowChrome::connectHovers() {
    for (PictureBox* b : c_.windowButtons) {
        connect(b, &PictureBox::moved, this,
                [this](int index, Qt::MouseButtons, QPoint pos) { windowButtonMouseMove(index, pos.x(), pos.y()); });
    }
    connect(c_.leaveCompactButton, &Label::clicked, this, &WindowChrome::leaveCompactMode);
    connect(c_.leaveCompactButton, &Label::moved, this, [this] {
        setWindowCursor(0);
        c_.leaveCompactButton->setForeColour(colourFromNumber(kHoverColour));
    });
    connect(c_.sideListCommand, &Label::moved, this, [this] {
        setWindowCursor(0);
        c_.sideListCommand->setForeColour(colourFromNumber(kHoverColour));
    });
    connect(c_.catalogueRetryPicture, &Label::moved, this, [this] { setWindowCursor(0); });
    auto closeHover = [this] {
        setWindowCursor(0);
        c_.liveTvCloseButton->setCursor(c_.windowButtons[WindowButton::EpisodeListTab]->cursor());
    };
    connect(c_.liveTvCloseButton, &PictureBox::moved, this, closeHover);
    connect(c_.webPlayerCloseButton, &PictureBox::moved, this, closeHover);
    for (QWidget* w : {c_.sidebarFooter, c_.adArea, c_.playerPage, c_.statusStrip}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
}

bool WindowChrome::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (watched == c_.mainWindow) {
        // The window gets child, paint and other events here too: only the
        // mouse event types are read as mouse events.
        const auto mouse = [event] { return static_cast<const QMouseEvent*>(event); };
        switch (type) {
        case QEvent::MouseButtonPress: {
            const QPoint p = mouse()->position().toPoint();
            onWindowMouseDown(mouse()->button(), p.x(), p.y());
            break;
        }
        case QEvent::MouseMove: {
            const QPoint p = mouse()->position().toPoint();
            onWindowMouseMove(mouse()->buttons(), p.x(), p.y());
            break;
        }
        case QEvent::MouseButtonRelease: {
            const QPoint p = mouse()->position().toPoint();
            onWindowMouseUp(mouse()->button(), p.x(), p.y());
            break;
        }
        case QEvent::Resize:
            if (sizingActive_ && drag_ == Drag::None) sizeSettled_.start();
            break;
        default: break;
        }
        return false;
    }
    if (type == QEvent::MouseMove) {
        setWindowCursor(0);
        if (watched == c_.sidebarFooter) {
            c_.sideListCommand->setForeColour(colourFromNumber(kQkColour));
        } else if (watched == c_.adArea) {
            if (numberFromColour(c_.leaveCompactButton->foreColour()) != kJbiColour)
                c_.leaveCompactButton->setForeColour(colourFromNumber(kJbiColour));
        }
    }
    return false;
}

void WindowChrome::setWindowCursor(int cursor) { c_.mainWindow->setCursor(cursorShape(cursor)); }

void WindowChrome::resetHoverColours() {
    if (numberFromColour(c_.leaveCompactButton->foreColour()) != kJbiColour)
        c_.leaveCompactButton->setForeColour(colourFromNumber(kJbiColour));
    if (numberFromColour(c_.sideListCommand->foreColour()) != kQkColour)
        c_.sideListCommand->setForeColour(colourFromNumber(kQkColour));
    if (state_.NoticeHover == 1) {
        state_.NoticeHover = 0;
        if (clearNoticeHover) clearNoticeHover();
    }
}

void WindowChrome::EdgeSizing(int action, int x, int y) {
    setWindowCursor(0);
    if (action == 2) {
        if (sizingActive_ && !overInterior_) {
            sizingActive_ = false;
            sizeSettled_.stop();
            storeSize();
        }
        return;
    }
    const EdgeZone zone = edgeZoneAt(x, y, c_.mainWindow->width(), c_.mainWindow->height());
    setWindowCursor(zone.cursor);
    if (action == 1 && !zone.interior()) {
        sizingActive_ = true;
        beginResize(zone.edges, x, y);
    }
}

void WindowChrome::beginResize(Qt::Edges edges, int x, int y) {
    if (startSystemResize(edges)) return;
    // No resize of the platform's own: follow the pointer ourselves until the release.
    drag_ = Drag::Resize;
    dragEdges_ = edges;
    dragStart_ = c_.mainWindow->mapToGlobal(QPoint(x, y));
    dragGeometry_ = c_.mainWindow->geometry();
}

void WindowChrome::beginMove(int x, int y) {
    if (startSystemMove()) return;
    drag_ = Drag::Move;
    dragStart_ = pressGlobal_.isNull() ? c_.mainWindow->mapToGlobal(QPoint(x, y)) : pressGlobal_;
    dragGeometry_ = c_.mainWindow->geometry();
}

void WindowChrome::followDrag(int x, int y) {
    const QPoint delta = c_.mainWindow->mapToGlobal(QPoint(x, y)) - dragStart_;
    QRect g = dragGeometry_;
    if (drag_ == Drag::Move) {
        c_.mainWindow->move(g.topLeft() + delta);
        return;
    }
    if (dragEdges_ & Qt::LeftEdge) g.setLeft(qMin(g.left() + delta.x(), g.right()));
    if (dragEdges_ & Qt::RightEdge) g.setRight(qMax(g.right() + delta.x(), g.left()));
    if (dragEdges_ & Qt::TopEdge) g.setTop(qMin(g.top() + delta.y(), g.bottom()));
    if (dragEdges_ & Qt::BottomEdge) g.setBottom(qMax(g.bottom() + delta.y(), g.top()));
    c_.mainWindow->setGeometry(g);
}

void WindowChrome::storeSize() {
    // Only a size the user gave the normal window is kept.
    if (state_.CompactMode != 0 || c_.mainWindow->isMaximized() || c_.mainWindow->isMinimized()) return;
    settings_.store(QStringLiteral("S_q"), QStringLiteral("h_w"),
                    QString::number(twipsFromPixels(c_.mainWindow->width())));
    settings_.store(QStringLiteral("S_q"), QStringLiteral("h_h"),
                    QString::number(twipsFromPixels(c_.mainWindow->height())));
}

void WindowChrome::onWindowMouseDown(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton) {
        state_.RightButtonFlag = 1;
        return;
    }
    state_.RightButtonFlag = 0;
    pressGlobal_ = c_.mainWindow->mapToGlobal(QPoint(x, y));
    if (c_.mainWindow->isMaximized()) return;
    if (!edgeZoneAt(x, y, c_.mainWindow->width(), c_.mainWindow->height()).interior()) {
        EdgeSizing(1, x, y);
        overInterior_ = false;
        // The size is stored when the resize ends (release, or the resizing
        // going quiet), since the platform's resize does not block here.
    }
}

void WindowChrome::onWindowMouseMove(Qt::MouseButtons buttons, int x, int y) {
    if (drag_ != Drag::None) {
        if (buttons & Qt::LeftButton) {
            followDrag(x, y);
            return;
        }
        drag_ = Drag::None;  // the release went elsewhere
    }
    if (sizingActive_ && !(buttons & Qt::LeftButton)) {
        // The platform's resize is over; the release went to the platform.
        sizingActive_ = false;
        sizeSettled_.stop();
        storeSize();
    }
    resetHoverColours();
    const int W = c_.mainWindow->width();
    const int H = c_.mainWindow->height();
    const bool within = x >= 0 && y >= 0 && x < W && y < H;
    const bool leftHeld = buttons & Qt::LeftButton;
    if (within && !edgeZoneAt(x, y, W, H).interior() && !leftHeld) {
        EdgeSizing(0, x, y);
        overInterior_ = false;
        return;
    }
    setWindowCursor(0);
    overInterior_ = true;
    if (!c_.mainWindow->isMaximized() && leftHeld && y > kBand && x > kBand && x < W - kBand) beginMove(x, y);
}

void WindowChrome::onWindowMouseUp(Qt::MouseButton, int x, int y) {
    const bool wasDragging = drag_ != Drag::None;
    drag_ = Drag::None;
    if (wasDragging) overInterior_ = false;
    EdgeSizing(2, x, y);
    overInterior_ = false;
    pressGlobal_ = QPoint();
}

QPixmap WindowChrome::titleButtonFace(int index, bool hovered) const {
    return window::titleButtonFace(skin_, index, hovered, c_.mainWindow->isMaximized(), c_.windowButtons[index]->tip());
}

void WindowChrome::windowButtonMouseMove(int index, int x, int y) {
    setWindowCursor(0);
    // The pointer is followed over the buttons up to the local-list tab only.
    if (index < 0 || index > WindowButton::LocalListTab) return;
    PictureBox* button = c_.windowButtons[index];
    const bool inside = x >= 0 && x <= button->width() && y >= 0 && y <= button->height();
    const bool titleButton = index <= WindowButton::MainMenu;
    if (titleButton) button->setPicture(titleButtonFace(index, inside));
    if (inside) {
        if (titleButton) {
            c_.balloonText->setText(button->tip());
            c_.balloonText->move(2, 2);
            c_.buttonBalloon->setGeometry(button->x() - 5, button->y() + button->height() + 3,
                                          c_.balloonText->width() + 5, c_.balloonText->height() + 5);
            c_.buttonBalloon->show();
            c_.buttonBalloon->raise();
        }
    } else {
        c_.buttonBalloon->hide();
    }
    button->update();
}

void WindowChrome::leaveCompactMode() {
    if (c_.mainWindow->isMaximized()) c_.mainWindow->showNormal();
    for (PictureBox* b : c_.windowButtons) b->show();
    c_.leaveCompactButton->hide();
    c_.logo->show();
    c_.titleCaption->setText(text::kCaption + QStringLiteral(" 1.0"));
    c_.titleCaption->show();
    c_.controlBar->show();
    if (state_.CompactMode == 1) {
        c_.filmTitle->show();
        c_.compactTitle->hide();
        c_.webPlayerCloseButton->show();
        if (c_.windowButtons[WindowButton::PlayerSidebarStrip]->tip() == text::kCloseSidebar) c_.playerSidebar->show();
        if (setCompactMenuCaption) setCompactMenuCaption(text::kCompactMode);
    }
    if (state_.CompactMode == 2) {
        c_.liveTvCloseButton->show();
        if (c_.windowButtons[WindowButton::TvSidebarStrip]->tip() == text::kCloseSidebar) c_.channelSidebar->show();
    }
    state_.CompactMode = 0;

    state_.SavedWidth = readNumber(settings_, QStringLiteral("S_q"), QStringLiteral("h_w"));
    state_.SavedHeight = readNumber(settings_, QStringLiteral("S_q"), QStringLiteral("h_h"));
    // A stored size of 0 (or nonsense) leaves the minimum size in force.
    const int w = qMax(pixelsFromTwips(state_.SavedWidth), pixelsAtLeast(MainWindowLayout::kMinWidthTwips));
    const int h = qMax(pixelsFromTwips(state_.SavedHeight), pixelsAtLeast(MainWindowLayout::kMinHeightTwips));
    c_.mainWindow->resize(w, h);
    if (const QScreen* screen = c_.mainWindow->screen()) {
        const QRect s = screen->geometry();
        c_.mainWindow->move(s.x() + (s.width() - w) / 2, s.y() + (s.height() - h) / 2);
    }
    // The resize event may come later or not at all (same size): lay out now.
    layout_.layoutWindow();
}

}  // namespace qarvel::window
