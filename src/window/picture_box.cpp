#include "window/picture_box.h"

#include <QMouseEvent>
#include <QPainter>

namespace qarvel::window {

QColor colourFromNumber(int number) { return QColor(number & 0xFF, (number >> 8) & 0xFF, (number >> 16) & 0xFF); }

int numberFromColour(const QColor& colour) { return colour.red() | (colour.green() << 8) | (colour.blue() << 16); }

PictureBox::PictureBox(QWidget* parent, int index) : QWidget(parent), index_(index) { setMouseTracking(true); }

void PictureBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void PictureBox::setFit(Fit fit) {
    fit_ = fit;
    update();
}

void PictureBox::setFill(const QColor& colour) {
    fill_ = colour;
    update();
}

bool PictureBox::event(QEvent* e) {
    // The state text stays; only the platform's tooltip is not shown.
    if (e->type() == QEvent::ToolTip && !nativeTip_) return true;
    return QWidget::event(e);
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (fill_.isValid()) p.fillRect(rect(), fill_);
    if (picture_.isNull()) return;
    if (fit_ == Fit::Stretch) p.drawPixmap(rect(), picture_);
    else p.drawPixmap(0, 0, picture_);
    // Where the keyboard is (only buttons reached with Tab take the focus).
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void PictureBox::mousePressEvent(QMouseEvent* e) {
    pressedInside_ = true;
    emit pressed(index_, e->button(), e->position().toPoint());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    emit released(index_, e->button(), pos);
    const bool click = pressedInside_ && rect().contains(pos);
    pressedInside_ = false;
    if (click) emit clicked(index_);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* e) {
    pressedInside_ = true;
    emit doubleClicked(index_);
    emit pressed(index_, e->button(), e->position().toPoint());
}

void PictureBox::mouseMoveEvent(QMouseEvent* e) { emit moved(index_, e->buttons(), e->position().toPoint()); }

void PictureBox::leaveEvent(QEvent*) { emit moved(index_, Qt::NoButton, QPoint(-1, -1)); }

Label::Label(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setMouseTracking(true);
    setTextFormat(Qt::PlainText);
}

void Label::setText(const QString& text) {
    QLabel::setText(text);
    if (autoSize_) adjustSize();
}

void Label::setAutoSize(bool on) {
    autoSize_ = on;
    if (on) {
        setWordWrap(false);
        adjustSize();
    }
}

void Label::setForeColour(const QColor& colour) {
    if (colour == foreColour_) return;
    foreColour_ = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, colour);
    setPalette(pal);
}

void Label::setWrapWidth(int width) {
    autoSize_ = false;
    setWordWrap(true);
    resize(width, height());
}

void Label::mousePressEvent(QMouseEvent* e) {
    pressedInside_ = true;
    emit pressed(e->button(), e->position().toPoint());
}

void Label::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    emit released(e->button(), pos);
    const bool click = pressedInside_ && rect().contains(pos);
    pressedInside_ = false;
    if (click) emit clicked();
}

void Label::mouseDoubleClickEvent(QMouseEvent* e) {
    pressedInside_ = true;
    emit doubleClicked();
    emit pressed(e->button(), e->position().toPoint());
}

void Label::mouseMoveEvent(QMouseEvent* e) { emit moved(e->buttons(), e->position().toPoint()); }

void placeWithOverhang(QWidget* pane, const QWidget* panel) {
    if (!pane || !panel) return;
    pane->setGeometry(-2, -2, panel->width() + 4, panel->height() + 4);
}

void fillParent(QWidget* child) {
    if (!child || !child->parentWidget()) return;
    child->setGeometry(0, 0, child->parentWidget()->width(), child->parentWidget()->height());
}

}  // namespace qarvel::window
