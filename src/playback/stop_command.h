#pragma once
// The stop command of the player bar (transport button 1), also run when the
// player view is left: keeps the position reached in the film's record,
// stops the status poll and the player, and clears the bar.
#include <QString>
#include <functional>

class QLabel;
class QTimer;
class QWidget;

namespace qarvel {
struct MainWindowState;
namespace engine {
class Player;
}
namespace records {
class RecordStore;
}
}  // namespace qarvel

namespace qarvel::playback {

class PlaySession;

// The controls the command touches; a null one is skipped.
struct StopControls {
    QWidget* stopAdFrame = nullptr;    // stop advertisement panel
    QWidget* pauseAdFrame = nullptr;   // pause advertisement panel
    QWidget* adArea = nullptr;         // advertisement area
    QWidget* videoFrame = nullptr;     // picture container
    QWidget* seekKnob = nullptr;       // seek knob
    QWidget* playedBar = nullptr;      // played part
    QWidget* downloadedBar = nullptr;  // downloaded part
    QLabel* filmTitle = nullptr;       // title
    QLabel* timeText = nullptr;        // play time
    QWidget* playerArea = nullptr;     // player area, for placing `timeText`
    QLabel* statusText = nullptr;      // status text
    QWidget* playButton = nullptr;     // bo_but(0); its tooltip names its next action
};

inline const QString kStoppedText = QStringLiteral("已停止");
inline const QString kPlayTip = QStringLiteral("播放");

class StopCommand {
public:
    // paintStopped draws the play face on button 0 and the normal face on
    // button 1 (the skin's business); may be empty.
    StopCommand(MainWindowState& state, PlaySession& session, engine::Player& player, records::RecordStore& records,
                QTimer& statusPollTimer, StopControls controls, std::function<void()> paintStopped = {});

    // Does nothing unless the player view is shown.
    void stop();

private:
    MainWindowState& state_;
    PlaySession& session_;
    engine::Player& player_;
    records::RecordStore& records_;
    QTimer& timer1_;
    StopControls c_;
    std::function<void()> paintStopped_;
};

}  // namespace qarvel::playback
