#include "window/key_preview.h"

#include "window/accessible_names.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace qarvel::window {

KeyPreview::KeyPreview(QWidget* window, Handler handler) : window_(window), handler_(std::move(handler)) {
    qApp->installEventFilter(this);
}

KeyPreview::~KeyPreview() { qApp->removeEventFilter(this); }

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    // A key press travels from the focused control up to its parents, and the
    // application's filter sees every leg: take it on the first one only.
    if (event->type() == QEvent::KeyPress && handler_ && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        const QWidget* focus = QApplication::focusWidget();
        const bool firstLeg = focus ? widget == focus : widget == window_;
        auto* key = static_cast<QKeyEvent*>(event);
        // Enter and Space on a focused button press that button.
        if (firstLeg && widget->window() == window_ && !pressesFocusedButton(focus, key)) return handler_(key);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qarvel::window
