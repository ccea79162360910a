#pragma once
// The side web window `ba4` ("推荐"): shown by the exit when the update
// control file asks for it, it shows the service's recommendation page on its
// own after the main window has gone. Its close picture appears after one
// second; it closes after twenty seconds, on its close picture, or when the
// page opens a new window (the link then opens in the system's browser).
#include <QWidget>

class QTimer;

namespace qarvel::platform {
class Shell;
}
namespace qarvel::web {
class WebPane;
}
namespace qarvel::window {
class Label;
}

namespace qarvel::extras {

inline const QString kSideWindowCaption = QStringLiteral("推荐");

class SideWindow : public QWidget {
    Q_OBJECT
public:
    // Designed inner size, pixels (4485 × 3705 twips).
    static constexpr int kWidth = 299;
    static constexpr int kHeight = 247;

    // base: the service base address, ending in "/". Loads its page at once.
    SideWindow(platform::Shell& shell, const QString& base, QWidget* parent = nullptr);

    void closeSideWindow();
    void showClosePicture();
    void closeFromPicture();

    web::WebPane* Web1() const { return web1_; }
    window::Label* Picture1() const { return picture1_; }
    QTimer* closeTimer() const { return timer1_; }
    QTimer* closePictureTimer() const { return timer2_; }

signals:
    // The window has closed, for whatever reason.
    void closed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void newWindow(const QString& address);

    platform::Shell& shell_;
    QWidget* pc1_ = nullptr;
    web::WebPane* web1_ = nullptr;
    window::Label* picture1_ = nullptr;
    QTimer* timer1_ = nullptr;
    QTimer* timer2_ = nullptr;
    bool closed_ = false;
};

}  // namespace qarvel::extras
