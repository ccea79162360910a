#pragma once
// Takes a widget out of its window to fill the screen and puts it back where it
// was. Esc and a double click on the full-screen widget leave full screen.
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

namespace qarvel::engine {

class FullScreenController : public QObject {
    Q_OBJECT
public:
    explicit FullScreenController(QWidget* widget, QObject* parent = nullptr);
    void setFullScreen(bool on);
    bool isFullScreen() const { return on_; }

signals:
    void changed(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void enter();
    void leave();

    QPointer<QWidget> widget_;
    QPointer<QWidget> parent_;
    QRect geometry_;
    Qt::WindowFlags flags_;
    int layoutIndex_ = -1;
    bool wasVisible_ = false;
    bool on_ = false;
};

}  // namespace qarvel::engine
