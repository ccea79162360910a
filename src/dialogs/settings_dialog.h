#pragma once
// The settings dialog `BA3`: a borderless window painted from the main
// window's skin strips, with the eight on/off options, the player's cache
// folder and a page about the program. It is opened modeless over the main
// window and unloaded when closed, so every opening shows the current values.
//
//     SettingsDialog dialog(mainWindow, services);
//     dialog.open();        // the settings menu item
//     dialog.F2_Paint();    // a skin change; does nothing while it is closed
#include "window/picture_box.h"
#include "window/skin.h"
#include "window/window_settings.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;

namespace qarvel::platform {
class UserDialogs;
}

namespace qarvel::dialogs {

// What the dialog reads and changes outside itself. The player folder handed
// to the cache-folder functions is the text of "S_q" / "qvodw" as read when
// the dialog loads ("0" when the key is absent).
struct SettingsDialogServices {
    window::WindowSettings& settings;
    const window::Skin& skin;
    platform::UserDialogs& dialogs;
    // The cache folder the player's configuration names; empty when it names none.
    std::function<QString(const QString& playerFolder)> readCachePath;
    // Stores a new cache folder in the player's configuration; false when it
    // could not (the configuration then still names the old one).
    std::function<bool(const QString& playerFolder, const QString& path)> writeCachePath;
    // Ends the download service before the change and starts it again after
    // it, so that the next film goes to the new folder; either may be empty.
    std::function<void(const QString& playerFolder)> stopService;
    std::function<void(const QString& playerFolder)> startService;
    // Opens a web page in the user's browser.
    std::function<void(const QString& address)> openUrl;
    // The folder shown and applied when the typed one is no absolute path:
    // the program folder's own cache folder, with a trailing separator.
    QString defaultCacheFolder;
    // The program's download site, linked from the information page.
    QString siteAddress;
};

// The eight option boxes: box index (into `optionBoxes`), its key in "S_q", its text.
struct OptionBox {
    int index;
    const char* key;
    const char* text;
};
// In the order Apply writes them.
extern const std::array<OptionBox, 8> kOptionBoxes;

// Turns an edited cache folder into the one applied: a path that is no
// absolute path of this system becomes fallback; a trailing separator is added.
QString normalisedCacheFolder(const QString& text, const QString& fallback);

// The dialog window itself, with its controls under their own names.
class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    SettingsWindow(QWidget* owner, SettingsDialogServices services);

    // Handlers, named after their control and event.
    void loadSettings();
    void showSettingsTab(int i);
    void browseCacheFolder();
    void applySettings();
    void acceptSettings();
    void cancelSettings();
    void closeButtonMouseMove(const QPoint& pos);
    void siteLinkMouseMove();
    void openSiteLink();
    void tabFaceMouseMove();
    // Paints the frame again from the current skin strips.
    void repaintFrame();

    // Dialog state.
    QString DialogQvodFolder;
    QString LoadedCachePath;
    int SiteLinkClicked = 0;

    // Controls.
    window::Label* titleText = nullptr;
    window::PictureBox* closeButton = nullptr;
    QWidget* panel = nullptr;   // client area below the title band
    QWidget* column = nullptr;  // the left column holding the tabs
    QWidget* pageArea = nullptr;
    std::array<window::Label*, 3> tabCaptions{};
    std::array<window::PictureBox*, 3> tabFaces{};
    std::array<QCheckBox*, 9> optionBoxes{};  // no box 4
    std::array<window::Label*, 10> captions{};
    QLineEdit* cacheFolderEdit = nullptr;
    QPushButton* browseCacheFolderButton = nullptr;
    window::Label* cacheMoveNotice = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* applyButton = nullptr;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    void buildControls();
    void layoutControls();
    void setSiteLinkLook(bool hover);

    SettingsDialogServices s_;
    // Our own drag, where the platform cannot move the window for us.
    bool dragging_ = false;
    QPoint dragOffset_;
};

// Opens and repaints the dialog; it owns no window while the dialog is closed.
class SettingsDialog {
public:
    SettingsDialog(QWidget* owner, SettingsDialogServices services);
    ~SettingsDialog();

    // The settings menu item: loads and shows the dialog, or raises the open one.
    void open();
    bool isOpen() const;
    // The skin's request: repaints the frame of an open dialog.
    void repaintFrame();
    // The open dialog; null while it is closed.
    SettingsWindow* window() const;

private:
    QWidget* owner_;
    SettingsDialogServices services_;
    QPointer<SettingsWindow> window_;
};

}  // namespace qarvel::dialogs
