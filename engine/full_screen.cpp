#include "engine/full_screen.h"

#include <QBoxLayout>
#include <QEvent>
#include <QKeyEvent>
#include <QScreen>

namespace qarvel::engine {

FullScreenController::FullScreenController(QWidget* widget, QObject* parent) : QObject(parent), widget_(widget) {
    if (widget) widget->installEventFilter(this);
}

void FullScreenController::setFullScreen(bool on) {
    if (on == on_ || !widget_) return;
    on ? enter() : leave();
    on_ = on;
    emit changed(on);
}

void FullScreenController::enter() {
    QWidget* widget = widget_;
    parent_ = widget->parentWidget();
    geometry_ = widget->geometry();
    flags_ = widget->windowFlags();
    wasVisible_ = widget->isVisible();
    layoutIndex_ = (parent_ && parent_->layout()) ? parent_->layout()->indexOf(widget) : -1;
    QScreen* screen = widget->screen();
    widget->setParent(nullptr, Qt::Window | Qt::FramelessWindowHint);
    // The whole screen also where no window manager carries out the request.
    if (screen) widget->setGeometry(screen->geometry());
    widget->showFullScreen();
    widget->raise();
    widget->activateWindow();
    widget->setFocus(Qt::OtherFocusReason);
}

void FullScreenController::leave() {
    QWidget* widget = widget_;
    widget->setParent(parent_, flags_);
    if (parent_ && parent_->layout() && layoutIndex_ >= 0) {
        if (auto* box = qobject_cast<QBoxLayout*>(parent_->layout())) {
            box->insertWidget(layoutIndex_, widget);
        } else {
            parent_->layout()->addWidget(widget);
        }
    } else {
        widget->setGeometry(geometry_);
    }
    // A widget whose window went away stays hidden rather than floating alone.
    widget->setVisible(wasVisible_ && parent_);
}

bool FullScreenController::eventFilter(QObject* watched, QEvent* event) {
    if (on_ && watched == widget_) {
        const bool escape =
            event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
        if (escape || event->type() == QEvent::MouseButtonDblClick) {
            setFullScreen(false);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qarvel::engine
