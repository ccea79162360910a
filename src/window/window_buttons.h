#pragma once
// What the sixteen window buttons `npc` do when clicked: minimise, maximise or
// restore, the sidebars and the tabs here; close, compact mode, always on top
// and the main menu are actions the window is given.
#include "state/main_window_state.h"
#include "window/main_window_controls.h"
#include "window/main_window_layout.h"
#include "window/skin.h"
#include "window/window_chrome.h"

#include <QObject>
#include <functional>

namespace qarvel::window {

struct WindowButtonActions {
    std::function<void()> close;        // button 2, after its face is painted
    std::function<void()> compactMode;  // button 3
    std::function<void()> alwaysOnTop;  // button 4
    std::function<void()> mainMenu;     // button 5, after its face is painted
};

class WindowButtons : public QObject {
    Q_OBJECT
public:
    WindowButtons(MainWindowControls& c, MainWindowState& state, const Skin& skin, MainWindowLayout& layout,
                  WindowChrome& chrome);

    // A click on window button index; other parts call it with an index to
    // perform the same action.
    void npc_Click(int index);
    void npc_MouseDown(int index, Qt::MouseButton button);
    // A double click on the window's own surface.
    void Form_DblClick();

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
