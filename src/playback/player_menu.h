#pragma once
// The player menu `qvod_m`: the transport items, the picture fit and aspect
// group, the sound channel group, what happens after the film and compact
// mode; and after the sound channel, the speed, the sound track and the
// frame capture. Items of a group carry one check mark between them; the marks start
// from the menu's design at every start and are the only record of the
// choice (the player keeps its own current mode).
#include "state/window_ids.h"

#include <QString>
#include <functional>

class QAction;
class QMenu;

namespace qarvel {
struct MainWindowState;
namespace engine {
class Player;
}
}  // namespace qarvel

namespace qarvel::playback {

class PlaybackSpeed;
class TransportCommands;

inline const QString kCompactModeCaption = QStringLiteral("精简模式");
inline const QString kLeaveCompactCaption = QStringLiteral("退出精简");

struct PlayerMenuActions {
    std::function<void()> jbi_Click;           // leaves compact mode
    std::function<void(int index)> npc_Click;  // index 3 enters compact mode
};

class PlayerMenu {
public:
    // Fills qvod_m, which must be empty.
    PlayerMenu(QMenu& qvod_m, MainWindowState& state, engine::Player& player, TransportCommands& transport,
               PlayerMenuActions actions);

    // The item named name (q_bo, q_la, kaiqi, …), or null.
    QAction* item(const QString& name) const;
    void setMuteCaption(const QString& caption);
    void setCompactCaption(const QString& caption);
    void q_jing_Click();

    // Adds "倍速" (q_beisu), "音轨" (q_yingui) and "截图" (q_jietu) after the
    // sound channel group.
    void addExtras(PlaybackSpeed& speed, std::function<void()> capture);
    // Marks the speed step equal to speed, none when it lies between steps.
    void markSpeed(double speed);
    // Lists the film's sound tracks in "音轨", the one that plays marked;
    // done each time it opens.
    void fillAudioTracks();

private:
    QMenu& menu_;
    MainWindowState& state_;
    engine::Player& player_;
    TransportCommands& transport_;
    PlayerMenuActions actions_;
    QMenu* speedMenu_ = nullptr;
    QMenu* audioMenu_ = nullptr;
};

// How a sound track is named in "音轨": its title and language, or its number.
QString audioTrackCaption(int id, const QString& language, const QString& title);

}  // namespace qarvel::playback
