#pragma once
// What a screen reader and a keyboard user get from the painted window: each
// control a viewer can press or read carries a Chinese name and a role (the
// picture buttons are plain widgets, so they get an accessible interface of
// their own, with a "press" action), the buttons take keyboard focus in the
// order they stand on screen, and Enter or Space presses the focused one as a
// click would.
#include "state/main_window_controls.h"

class QKeyEvent;
class QWidget;

namespace qarvel::window {

// Names, roles, focus and keys for the controls; once, after they are built.
void describeControls(MainWindowControls& c);

// True when e presses the button that has the focus: the window's own keys
// (Space plays and pauses) leave it to the button.
bool pressesFocusedButton(const QWidget* focus, const QKeyEvent* e);

// A left click on widget, as the pointer would give it, at its middle.
void pressWidget(QWidget* widget);

}  // namespace qarvel::window
