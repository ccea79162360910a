#pragma once
// The mouse on the player bar and the picture: the seek bar (track, knob,
// played and downloaded parts), the volume bar (track, filled part, knob) and
// the picture area (advertisement picture `idlePicture`, the picture itself, the
// advertisement area `adArea`). The keyboard moves the bars through the same
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
    QWidget* mainWindow = nullptr;   // main window: pointer shape
    QWidget* seekBar = nullptr;      // seek track
    QWidget* seekKnob = nullptr;     // its knob
    QWidget* playedBar = nullptr;    // played part
    QWidget* volumeTrack = nullptr;  // volume track
    QWidget* volumeKnob = nullptr;   // its knob
    QWidget* volumeFill = nullptr;   // filled part
    QLabel* statusText = nullptr;    // status text
    QLabel* timeText = nullptr;      // play time
    // Gives `leaveCompactButton` (leaves compact mode) its colour at rest, white.
    std::function<void()> jbiAtRest;
};

inline const QString kVolumePrefix = QStringLiteral("音量：");

class PlayerBarMouse {
public:
    // popupPlayerMenu shows the player menu `playerPopupMenu` at the pointer.
    PlayerBarMouse(MainWindowState& state, PlayerBarControls controls, engine::Player& player,
                   TransportCommands& transport, std::function<void()> popupPlayerMenu);

    // Seek bar. button: Qt::MouseButton; buttons: Qt::MouseButtons.
    void seekBarMouseDown(int button, QPoint pos);
    void seekBarMouseUp();
    void seekKnobMouseMove(int buttons, QPoint pos);
    void seekKnobMouseUp();
    // The played part `playedBar` and the downloaded part `downloadedBar` alike.
    void playedBarMouseDown(int button, QPoint pos);
    void playedBarMouseUp();

    // Volume bar.
    void volumeTrackMouseDown(int button, QPoint pos);
    void volumeFillMouseDown(int button, QPoint pos);
    void volumeKnobMouseMove(int buttons, QPoint pos);

    // Picture area.
    void idlePictureMouseDown(int button);
    void videoMouseDown(int button);  // the picture (`videoOverlay` over `playerVideo`)
    void videoMouseMove();
    void videoDoubleClick();
    void adAreaMouseDown(int button);
    void adAreaMouseMove();

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
