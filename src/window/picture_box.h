#pragma once
// The two kinds of painted control of the skinned window: picture boxes (a
// face copied from a skin strip, or a strip stretched over the whole box) and
// captions. Both report the mouse the way the window's handlers expect it:
// every move (hover included), presses and releases with the button, and a
// click for any button, so that a right click can be swallowed by its flag.
#include <QColor>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

namespace qarvel::window {

// Colours are given as the window's colour numbers: red + green × 256 + blue × 65536.
QColor colourFromNumber(int number);
int numberFromColour(const QColor& colour);

class PictureBox : public QWidget {
    Q_OBJECT
public:
    enum class Fit { Copy, Stretch };

    explicit PictureBox(QWidget* parent = nullptr, int index = -1);

    int index() const { return index_; }

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }
    void setFit(Fit fit);
    // A plain colour behind the picture (or instead of one); invalid = transparent.
    void setFill(const QColor& colour);
    QColor fill() const { return fill_; }

    // The button's state text. Several buttons keep their state here
    // ("关闭侧栏", "置顶", "暂停"), so handlers compare against it.
    // It is the widget's tooltip, so code that sees a plain widget reads and
    // sets the same text.
    QString tip() const { return toolTip(); }
    void setTip(const QString& text) { setToolTip(text); }
    // Whether the platform also shows the state text as a tooltip; off for
    // the buttons that have a balloon of their own.
    void setNativeTip(bool on) { nativeTip_ = on; }

signals:
    void clicked(int index);
    void doubleClicked(int index);
    void pressed(int index, Qt::MouseButton button, QPoint pos);
    void released(int index, Qt::MouseButton button, QPoint pos);
    // Every pointer move over the box, and one with a point outside it when
    // the pointer leaves (the move that a captured button would still get).
    void moved(int index, Qt::MouseButtons buttons, QPoint pos);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;
    bool event(QEvent*) override;

private:
    int index_;
    QPixmap picture_;
    Fit fit_ = Fit::Copy;
    QColor fill_;
    bool nativeTip_ = true;
    bool pressedInside_ = false;
};

// A caption. Auto-sizing follows the text as it changes, as the window's
// labels do; the text colour is a property of its own so hover looks can be
// compared and reset.
class Label : public QLabel {
    Q_OBJECT
    // Read by code that sets the text through QLabel: false keeps the width
    // the layout gave the label.
    Q_PROPERTY(bool autoSize READ autoSize WRITE setAutoSize)
public:
    explicit Label(const QString& text = {}, QWidget* parent = nullptr);

    void setText(const QString& text);
    void setAutoSize(bool on);
    bool autoSize() const { return autoSize_; }
    void setForeColour(const QColor& colour);
    QColor foreColour() const { return foreColour_; }
    // Word wrap with a fixed width, or one line fitted to the text.
    void setWrapWidth(int width);

signals:
    void clicked();
    void pressed(Qt::MouseButton button, QPoint pos);
    void released(Qt::MouseButton button, QPoint pos);
    void moved(Qt::MouseButtons buttons, QPoint pos);
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;

private:
    bool autoSize_ = false;
    bool pressedInside_ = false;
    QColor foreColour_;
};

// Places a browser pane 2 pixels outside its panel on every side, so that the
// pane's own border never shows.
void placeWithOverhang(QWidget* pane, const QWidget* panel);
// Gives child the whole inside of its parent.
void fillParent(QWidget* child);

}  // namespace qarvel::window
