#pragma once
// Applies a skin: loads its pictures into the slots, repaints every painted
// control from them, and stores the choice after the first application.
#include "state/main_window_state.h"
#include "window/main_window_controls.h"
#include "window/main_window_layout.h"
#include "window/skin.h"
#include "window/window_settings.h"

#include <QColor>
#include <functional>

namespace qarvel::window {

// Plain colours that go with a skin's pictures: the panels, the status strip
// and the bars that are boxes rather than pictures.
struct SkinColours {
    QColor panel;        // sidebars, waiting panel
    QColor footer;       // sidebar footer `sidebarFooter`
    QColor statusStrip;  // `statusStrip`
    QColor statusText;
    QColor seekTrack;   // `seekBar`
    QColor downloaded;  // `downloadedBar`
    QColor played;      // `playedBar`
    QColor knob;        // `seekKnob`
    QColor volumeFill;  // `volumeFill`
    QColor balloon;     // `buttonBalloon`
    QColor balloonText;
    QColor title;  // `titleCaption`
};
SkinColours skinColours(int s);

class SkinPainter {
public:
    SkinPainter(MainWindowControls& c, MainWindowState& state, Skin& skin, MainWindowLayout& layout,
                WindowSettings& settings);

    // Applies skin s (0 or 1).
    void applySkin(int s);
    // Repaints every button face from the slots.
    void PaintButtons();
    // The faces of a stopped player: play on button 0, stop at rest on button 1.
    void PaintStopped();
    // The face of button 0: pause while a film plays, play otherwise.
    void PaintPlayFace(bool pause);

    // Repaints the settings dialog's frame when it is open; set by the dialog.
    std::function<void()> repaintSettingsDialog;

private:
    void applyColours(int s);

    MainWindowControls& c_;
    MainWindowState& state_;
    Skin& skin_;
    MainWindowLayout& layout_;
    WindowSettings& settings_;
};

}  // namespace qarvel::window
