#pragma once
// Places every control of the main window whenever the window changes size,
// the skin changes, a sidebar opens or closes, or compact mode starts or ends;
// switches the main and side tabs. Pure geometry on the control pointers, so
// it works the same on plain widgets in tests.
#include "state/main_window_state.h"
#include "window/frame_painter.h"
#include "window/main_window_controls.h"
#include "window/skin.h"

#include <QObject>

namespace qarvel::window {

class MainWindowLayout : public QObject {
    Q_OBJECT
public:
    // Smallest outer sizes, twips.
    static constexpr int kMinWidthTwips = 13500;
    static constexpr int kMinHeightTwips = 7000;
    static constexpr int kCompactMinWidthTwips = 4100;
    static constexpr int kCompactMinHeightTwips = 3000;
    static constexpr int kSidebarWidth = 202;

    // Watches c.BA1: runs the resize handler on every size change and paints
    // the frame from skin slot 0 under the controls.
    MainWindowLayout(MainWindowControls& c, MainWindowState& state, const Skin& skin);

    // The window's resize handler.
    void layoutWindow();
    void PaintFrame();
    void LayoutMainArea();
    void LayoutPlayerTab();
    void LayoutTvTab();
    void layoutPlayerArea();
    void LayoutCompact();
    void showMainTab(MainTab tab, bool force);
    void showSideTab(SideTab tab, bool force);
    void ApplyRoundRegion();

    // The volume knob and its fill at the given volume (0 to 100).
    void placeVolumeKnob(int volume);

    // Which frame the window paints now.
    FrameKind frameKind() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutSidebarPage(QWidget* page, PictureBox* strip, QWidget* sidebar, QWidget* side);
    bool minimised() const;

    MainWindowControls& c_;
    MainWindowState& state_;
    const Skin& skin_;
};

}  // namespace qarvel::window
