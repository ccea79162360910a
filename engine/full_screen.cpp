#include "engine/full_screen.h"

#include <QBoxLayout>
#include <QEvent>
#include <QKeyEvent>
#include <QScreen>

namespace qarvel::engine {

FullScreenController::FullScreenController(QWidget* widget, QObject* parent) : QObject(parent), m_widget(widget) {
    if (widget) widget->installEventFilter(this);
}

void FullScreenController::setFullScreen(bool on) {
    if (on == m_on || !m_widget) return;
    on ? enter() : leave();
    m_on = on;
    emit changed(on);
}

void FullScreenController::enter() {
    QWidget* widget = m_widget;
    m_parent = widget->parentWidget();
    m_geometry = widget->geometry();
    m_flags = widget->windowFlags();
    m_wasVisible = widget->isVisible();
    m_layoutIndex = (m_parent && m_parent->layout()) ? m_parent->layout()->indexOf(widget) : -1;
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
    QWidget* widget = m_widget;
    widget->setParent(m_parent, m_flags);
    if (m_parent && m_parent->layout() && m_layoutIndex >= 0) {
        if (auto* box = qobject_cast<QBoxLayout*>(m_parent->layout())) {
            box->insertWidget(m_layoutIndex, widget);
        } else {
            m_parent->layout()->addWidget(widget);
        }
    } else {
        widget->setGeometry(m_geometry);
    }
    // A widget whose window went away stays hidden rather than floating alone.
    widget->setVisible(m_wasVisible && m_parent);
}

bool FullScreenController::eventFilter(QObject* watched, QEvent* event) {
    if (m_on && watched == m_widget) {
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
