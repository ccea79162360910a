#pragma once
// The player menu `playerPopupMenu`: the transport items, the picture fit and aspect
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
inline const QString kLoadSubtitleCaption = QStringLiteral("加载字幕文件...");
inline const QString kSubtitlesOffCaption = QStringLiteral("关闭字幕");

// The items for skipping a series' opening and ending.
struct SeriesSkipItems {
    std::function<bool()> canMark;      // an episode of a series plays
    std::function<void()> markOpening;  // "设为片头结束"
    std::function<void()> markEnding;   // "设为片尾开始"
    bool skipping = true;               // "跳过片头片尾" starts checked
    std::function<void(bool on)> setSkipping;
};

struct PlayerMenuActions {
    std::function<void()> leaveCompactMode;            // leaves compact mode
    std::function<void(int index)> pressWindowButton;  // index 3 enters compact mode
};

class PlayerMenu {
public:
    // Fills qvod_m, which must be empty.
    PlayerMenu(QMenu& playerPopupMenu, MainWindowState& state, engine::Player& player, TransportCommands& transport,
               PlayerMenuActions actions);

    // The item named name (q_bo, q_la, kaiqi, …), or null.
    QAction* item(const QString& name) const;
    void setMuteCaption(const QString& caption);
    void setCompactCaption(const QString& caption);
    void toggleCompactModeItem();

    // Adds "倍速" (q_beisu), "音轨" (q_yingui) and "截图" (q_jietu) after the
    // sound channel group.
    void addExtras(PlaybackSpeed& speed, std::function<void()> capture);
    // Adds "设为片头结束" (q_pt), "设为片尾开始" (q_pw), offered while an
    // episode of a series plays, and the check item "跳过片头片尾" (q_tg)
    // before what happens after the film.
    void addSeriesSkip(SeriesSkipItems items);
    // Marks the speed step equal to speed, none when it lies between steps.
    void markSpeed(double speed);
    // Lists the film's sound tracks in "音轨", the one that plays marked;
    // done each time it opens.
    void fillAudioTracks();
    // Adds "字幕" (q_zimu) before "截图": the film's subtitle tracks, the
    // one that shows marked, then "加载字幕文件..." (loadFile) and
    // "关闭字幕"; filled each time it opens.
    void addSubtitles(std::function<void()> loadFile);
    void fillSubtitleTracks();

private:
    QMenu& menu_;
    MainWindowState& state_;
    engine::Player& player_;
    TransportCommands& transport_;
    PlayerMenuActions actions_;
    QMenu* speedMenu_ = nullptr;
    QMenu* audioMenu_ = nullptr;
    QMenu* subtitleMenu_ = nullptr;
    std::function<void()> loadSubtitle_;
};

// How a sound track is named in "音轨": its title and language, or its number.
QString audioTrackCaption(int id, const QString& language, const QString& title);

}  // namespace qarvel::playback
