#pragma once
// What the sixteen window buttons `windowButtons` do when clicked: minimise, maximise or
// restore, compact mode, always on top, the sidebars and the tabs here; close
// and the main menu are actions the window is given (the application's shell).
#include "state/main_window_state.h"
#include "window/main_window_controls.h"
#include "window/main_window_layout.h"
#include "window/skin.h"
#include "window/window_chrome.h"

#include <QObject>
#include <functional>

namespace qarvel::window {

// The compact mode's window size, twips.
inline constexpr int kCompactWidthTwips = 5900;
inline constexpr int kCompactHeightTwips = 4800;

struct WindowButtonActions {
    std::function<void()> close;        // button 2, after its face is painted
    std::function<void()> compactMode;  // button 3; default: enterCompactMode
    std::function<void()> alwaysOnTop;  // button 4; default: toggleAlwaysOnTop
    std::function<void()> mainMenu;     // button 5, after its face is painted
};

class WindowButtons : public QObject {
    Q_OBJECT
public:
    WindowButtons(MainWindowControls& c, MainWindowState& state, const Skin& skin, MainWindowLayout& layout,
                  WindowChrome& chrome);

    // A click on window button index; other parts call it with an index to
    // perform the same action.
    void pressWindowButton(int index);
    void windowButtonMouseDown(int index, Qt::MouseButton button);
    // A double click on the window's own surface.
    void onWindowDoubleClick();

    // Compact mode from the normal layout; nothing while the player area
    // shows nothing. Leaving it is the chrome's (jbi_Click).
    void enterCompactMode();
    // Button 4: its tooltip names what the next press does.
    void toggleAlwaysOnTop();
    // 1 keeps the window above the others, anything else lets it go; its
    // place and size stay.
    void setAlwaysOnTop(int on);

    WindowButtonActions actions;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void toggleSidebar(PictureBox* strip, QWidget* sidebar);

    MainWindowControls& c_;
    MainWindowState& state_;
    const Skin& skin_;
    MainWindowLayout& layout_;
    WindowChrome& chrome_;
};

}  // namespace qarvel::window
