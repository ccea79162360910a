#pragma once
// Key preview: key presses anywhere in a window reach the handler before the
// control with the focus sees them; the handler returns true to consume one.
#include <QObject>
#include <functional>

class QKeyEvent;
class QWidget;

namespace qarvel::window {

class KeyPreview : public QObject {
public:
    using Handler = std::function<bool(QKeyEvent*)>;
    KeyPreview(QWidget* window, Handler handler);
    ~KeyPreview() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    Handler handler_;
};

}  // namespace qarvel::window
