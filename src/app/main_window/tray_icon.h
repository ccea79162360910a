#pragma once
// The program's tray icon: shows and hides the main window on a left click,
// pops up the tray menu on a right click, and carries the balloon notices.
// Where the desktop has no tray, balloons go to the desktop's notification
// service, and where none answers, to a fallback in the window.
#include <QObject>
#include <QString>
#include <functional>

class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace qarvel {

class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    // Adds the icon for window, with menu as its right-click menu and tip as
    // its tooltip.
    void AddTrayIcon(QWidget* window, QMenu* menu, const QString& tip);
    // A balloon with the program's title; where no tray can show it, the
    // fallback gets the text.
    void ShowTrayBalloon(const QString& text);
    void RemoveTrayIcon();

    // The left-click action: restores a minimised window, otherwise shows a
    // hidden window and hides a shown one.
    void leftClick();

    bool exists() const { return icon_ != nullptr; }
    // Whether the desktop has a tray that shows the icon.
    bool available() const;

    // Sends a notice to the desktop without a tray; runs unanswered when
    // nobody takes it. Default: the desktop's notification service.
    std::function<void(const QString& title, const QString& text, std::function<void()> unanswered)> desktopNotice;
    std::function<void(const QString&)> balloonFallback;

private:
    QWidget* window_ = nullptr;
    QSystemTrayIcon* icon_ = nullptr;
};

// The title of every balloon.
QString balloonTitle();

}  // namespace qarvel
