#pragma once
// The eight transport buttons `transportButtons` of the player bar: a click runs one
// command on the player, a pointer over a button shows its hover face and, on
// the player tab, the program's own balloon `buttonBalloon`. The keys, the player menu,
// the picture area (and later the media keys and the tray) call the same
// commands, by index through bo_but_Click or by name.
//
//     TransportCommands t(state, controls, services);
//     t.bo_but_Click(TransportButton::PlayPause);
#include "state/window_ids.h"

#include <QPoint>
#include <QString>
#include <array>
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
class StopCommand;
class ViewSwitcher;

inline const QString kMuteTip = QStringLiteral("静音");
inline const QString kUnmuteTip = QStringLiteral("取消静音");
inline const QString kPausedText = QStringLiteral("已暂停");
inline const QString kOpenFileTitle = QStringLiteral("选择播放文件");
// As the program has always offered it, "*wma" and all.
inline const QString kOpenFileFilter =
    QStringLiteral("影音文件|*.rm;*.rmvb;*.wmv;*.mp3;*wma;*mid;*wav;*mpg;*mp4|所有文件|*.*");

// A button face: a piece of skin strip `sprite` from (x, 0), the button's size.
struct TransportFace {
    int sprite = 0;
    int x = 0;
    int width = 25;
    int height = 25;
    bool operator==(const TransportFace&) const = default;
};
// The face of button index, hovered or not; buttons 0 and 2 show the action
// their tooltip names (pause while playing, unmute while muted).
TransportFace transportFace(int index, bool hover, const QString& tip);

// The controls the commands touch; a null one is skipped.
struct TransportControls {
    std::array<QWidget*, 8> transportButtons{};  // their tooltips carry the state of buttons 0 and 2
    QWidget* mainWindow = nullptr;               // main window: pointer shape, balloon height
    QWidget* buttonBalloon = nullptr;            // balloon
    QLabel* balloonText = nullptr;               // its text
    QWidget* adArea = nullptr;                   // advertisement area
    QWidget* videoFrame = nullptr;               // picture container
    QWidget* pauseAdFrame = nullptr;             // pause advertisement panel
    QWidget* stopAdFrame = nullptr;              // stop advertisement panel
    QLabel* statusText = nullptr;                // status text
    QLabel* filmTitle = nullptr;                 // title
    QWidget* statusStrip = nullptr;              // title strip
    QWidget* onTopButton = nullptr;              // npc(4); tooltip "取消置顶" while on top
};

struct TransportServices {
    engine::Player& player;
    StopCommand& stop;
    ViewSwitcher& views;
    records::RecordStore& records;
    QTimer& statusPollTimer;
    // A click on window button index (tabs, sidebars, always on top).
    std::function<void(int index)> pressWindowButton;
    // Previous (-1) or next (1) episode.
    std::function<void(int direction)> StepEpisode;
    // The open-file dialog: title and filter ("name|patterns|…"); "" when cancelled.
    std::function<QString(const QString& title, const QString& filter)> chooseFile;
    // Draws a face on button index.
    std::function<void(int index, const TransportFace& face)> paintFace;
    // The caption of the player menu's mute item.
    std::function<void(const QString& caption)> setMuteCaption;
};

class TransportCommands {
public:
    TransportCommands(MainWindowState& state, PlaySession& session, TransportControls controls,
                      TransportServices services);

    // A click on button index; swallowed after a press with another button than the left.
    void pressTransportButton(int index);
    void transportButtonMouseDown(int index, int button);  // button: Qt::MouseButton
    // Pointer at pos relative to button index (outside it when it has left).
    void transportButtonMouseMove(int index, QPoint pos);

    // The commands themselves, for callers without a button.
    void playPause();
    void stop();
    void toggleMute();
    void fullScreen();
    void openFile();
    void previousEpisode();
    void toggleSidebar();
    void nextEpisode();

private:
    void paint(int index, bool hover);
    void setTip(int index, const QString& tip);
    QString tip(int index) const;
    void hideBalloon();
    void showBalloon(int index);

    MainWindowState& state_;
    PlaySession& session_;
    TransportControls c_;
    TransportServices s_;
};

}  // namespace qarvel::playback
