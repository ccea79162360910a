#pragma once
// The mouse on the player bar and the picture: the seek bar (track, knob,
// played and downloaded parts), the volume bar (track, filled part, knob) and
// the picture area (advertisement picture `adp`, the picture itself, the
// advertisement area `bo_ad`). The keyboard moves the bars through the same
// updates. Pointer positions are pixels relative to the control pressed.
#include <QPoint>
#include <QString>
#include <functional>

class QLabel;
class QWidget;

namespace qarvel {
struct MainWindowState;
namespace engine {
class Player;
}
}  // namespace qarvel

namespace qarvel::playback {

class TransportCommands;

// The controls the handlers touch; a null one is skipped.
struct PlayerBarControls {
    QWidget* BA1 = nullptr;    // main window: pointer shape
    QWidget* gunt = nullptr;   // seek track
    QWidget* gunt1 = nullptr;  // its knob
    QWidget* gunt2 = nullptr;  // played part
    QWidget* yin = nullptr;    // volume track
    QWidget* bo_v = nullptr;   // its knob
    QWidget* bo_y = nullptr;   // filled part
    QLabel* zhun = nullptr;    // status text
    QLabel* times = nullptr;   // play time
    // Gives `jbi` (leaves compact mode) its colour at rest, white.
    std::function<void()> jbiAtRest;
};

inline const QString kVolumePrefix = QStringLiteral("音量：");

class PlayerBarMouse {
public:
    // popupPlayerMenu shows the player menu `qvod_m` at the pointer.
    PlayerBarMouse(MainWindowState& state, PlayerBarControls controls, engine::Player& player,
                   TransportCommands& transport, std::function<void()> popupPlayerMenu);

    // Seek bar. button: Qt::MouseButton; buttons: Qt::MouseButtons.
    void gunt_MouseDown(int button, QPoint pos);
    void gunt_MouseUp();
    void gunt1_MouseMove(int buttons, QPoint pos);
    void gunt1_MouseUp();
    // The played part `gunt2` and the downloaded part `huan` alike.
    void playedPart_MouseDown(int button, QPoint pos);
    void playedPart_MouseUp();

    // Volume bar.
    void yin_MouseDown(int button, QPoint pos);
    void bo_y_MouseDown(int button, QPoint pos);
    void bo_v_MouseMove(int buttons, QPoint pos);

    // Picture area.
    void adp_MouseDown(int button);
    void picture_MouseDown(int button);  // the picture (`Lqvod` over `QvodC`)
    void picture_MouseMove();
    void picture_DblClick();
    void bo_ad_MouseDown(int button);
    void bo_ad_MouseMove();

    // After a seek: a position past the end puts the film 2 s before it.
    void afterSeekGuard();
    // Shows position on the bar: the knob for knobPosition, the time label
    // for the player's position and length.
    void showSeek(double knobPosition);
    // Shows the player's volume on the bar and in the status text.
    void showVolume();

private:
    int seekSpan() const;
    int volumeSpan() const;
    void moveSeekKnob(int left);
    void seekTo(int left, int where);
    void setVolumeKnob(int left);
    void unmute();

    MainWindowState& state_;
    PlayerBarControls c_;
    engine::Player& player_;
    TransportCommands& transport_;
    std::function<void()> popupPlayerMenu_;
    int seekLeft_ = 0;
};

}  // namespace qarvel::playback
