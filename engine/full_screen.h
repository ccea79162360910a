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
    bool isFullScreen() const { return m_on; }

signals:
    void changed(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void enter();
    void leave();

    QPointer<QWidget> m_widget;
    QPointer<QWidget> m_parent;
    QRect m_geometry;
    Qt::WindowFlags m_flags;
    int m_layoutIndex = -1;
    bool m_wasVisible = false;
    bool m_on = false;
};

}  // namespace qarvel::engine
