#pragma once
// Makes the painted chrome of the borderless main window behave like a frame:
// moving by dragging the surface, resizing from the 3-pixel edge band with the
// sizing cursors, storing the size the user gave it, the hover faces and the
// balloon of the title-bar buttons, the hover colours of `leaveCompactButton` and `sideListCommand`, and
// leaving compact mode.
#include "state/main_window_state.h"
#include "window/main_window_controls.h"
#include "window/main_window_layout.h"
#include "window/skin.h"
#include "window/window_settings.h"

#include <QObject>
#include <QRect>
#include <QTimer>
#include <functional>

namespace qarvel::window {

// Where a point of the window lies: in the edge band, or inside it.
struct EdgeZone {
    int cursor = 0;     // 0 default, 6 NE/SW, 7 N/S, 8 NW/SE, 9 W/E sizing
    int hitCode = 0;    // the platform's sizing hit code; 0 for the interior
    Qt::Edges edges{};  // the edges a resize from here moves
    bool interior() const { return hitCode == 0; }
};

// x, y in pixels of a window with inner size W × H. The band is 3 pixels wide:
// x ≤ 3 or x ≥ W − 3, y ≤ 3 or y ≥ H − 3.
EdgeZone edgeZoneAt(int x, int y, int W, int H);
Qt::CursorShape cursorShape(int cursor);

// Normal and hover colours of the two text buttons.
inline constexpr int kJbiColour = 16777215;  // white
inline constexpr int kQkColour = 5921370;    // grey 90, 90, 90
inline constexpr int kHoverColour = 128;     // dark red

class WindowChrome : public QObject {
    Q_OBJECT
public:
    WindowChrome(MainWindowControls& c, MainWindowState& state, const Skin& skin, MainWindowLayout& layout,
                 WindowSettings& settings);

    // Window surface mouse handlers; x, y in pixels of the window.
    void onWindowMouseDown(Qt::MouseButton button, int x, int y);
    void onWindowMouseMove(Qt::MouseButtons buttons, int x, int y);
    void onWindowMouseUp(Qt::MouseButton button, int x, int y);
    // action 0 hover, 1 left press, 2 release.
    void EdgeSizing(int action, int x, int y);

    // Hover look of window button index; x, y relative to the button (a point
    // outside it when the pointer has left).
    void windowButtonMouseMove(int index, int x, int y);
    void leaveCompactMode();

    // The face a title-bar button (0 to 5) shows, hovered or not, by the
    // window's state and the button's tooltip.
    QPixmap titleButtonFace(int index, bool hovered) const;

    bool sizingActive() const { return sizingActive_; }
    bool overInterior() const { return overInterior_; }

    // Hand a resize or a move over to the platform; false when it cannot
    // run one, and the chrome follows the pointer itself. Default: the
    // window's QWindow::startSystemResize / startSystemMove.
    std::function<bool(Qt::Edges)> startSystemResize;
    std::function<bool()> startSystemMove;

    // Caption of the player menu's compact-mode item; set by the menus.
    std::function<void(const QString&)> setCompactMenuCaption;
    // Resets the notice line's hover look; set by the notice line.
    std::function<void()> clearNoticeHover;

    // Window-button cursor resets and the hover colours: shared with the
    // button clicks, which reset them the same way.
    void resetHoverColours();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Drag { None, Move, Resize };

    void setWindowCursor(int cursor);
    void beginResize(Qt::Edges edges, int x, int y);
    void beginMove(int x, int y);
    void followDrag(int x, int y);
    void storeSize();
    void connectHovers();

    MainWindowControls& c_;
    MainWindowState& state_;
    const Skin& skin_;
    MainWindowLayout& layout_;
    WindowSettings& settings_;

    bool sizingActive_ = false;
    bool overInterior_ = false;
    // Where our own move or resize stands, for platforms that cannot run theirs.
    Drag drag_ = Drag::None;
    Qt::Edges dragEdges_{};
    QPoint dragStart_;
    QPoint pressGlobal_;
    QRect dragGeometry_;
    // The platform's resize may end without a release reaching us; the size
    // is stored whenever the resizing has been quiet for a moment, and when
    // the pointer comes back with the button up.
    QTimer sizeSettled_;
};

}  // namespace qarvel::window
