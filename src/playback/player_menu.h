#pragma once
// The player menu `qvod_m`: the transport items, the picture fit and aspect
// group, the sound channel group, what happens after the film and compact
// mode. Items of a group carry one check mark between them; the marks start
// from the menu's design at every start and are the only record of the
// choice (the player keeps its own current mode).
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

private:
    QMenu& menu_;
    MainWindowState& state_;
    engine::Player& player_;
    TransportCommands& transport_;
    PlayerMenuActions actions_;
};

}  // namespace qarvel::playback
