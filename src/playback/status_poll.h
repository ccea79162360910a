#pragma once
// The player bar's once-a-second poll (Timer1), the end of play two seconds
// after the end was seen (Timer2) and the retry of a failed next-episode
// request (Timer4). Each tick is a method, so tests call them directly.
//
// A tick reads each player value once, sets only what changed and never
// waits: the next-episode request it may start answers later.
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
namespace platform {
class PowerOff;
}
}  // namespace qarvel

namespace qarvel::playback {

class PlaySession;

// The controls of the player bar the poll touches; a null one is skipped.
struct PollControls {
    QLabel* statusText = nullptr;          // status text
    QLabel* timeText = nullptr;            // play time, or the clock when nothing is loaded
    QWidget* playerArea = nullptr;         // player area, for placing `timeText`
    QWidget* playButton = nullptr;         // bo_but(0); its tooltip names its next action
    QWidget* seekBar = nullptr;            // seek track
    QWidget* seekKnob = nullptr;           // its knob
    QWidget* playedBar = nullptr;          // played part
    QWidget* downloadedBar = nullptr;      // downloaded part
    QWidget* adArea = nullptr;             // advertisement area
    QWidget* pauseAdFrame = nullptr;       // pause advertisement panel
    QWidget* stopAdFrame = nullptr;        // stop advertisement panel
    QWidget* videoFrame = nullptr;         // picture container
    QWidget* nextEpisodeNotice = nullptr;  // "preparing the next episode" notice
};

struct PollServices {
    engine::Player& player;
    records::RecordStore& records;
    QTimer& statusPollTimer;        // this poll
    QTimer& endOfPlayTimer;         // end of play, once
    QTimer& retryNextEpisodeTimer;  // next-episode retry
    platform::PowerOff& power;
    // ReadSetting on the settings file: section, key, default.
    std::function<QString(const QString& section, const QString& key, const QString& defaultText)> readSetting;
    std::function<void(const QString& text)> showBalloon;
    // Draws the pause face (true) or the play face (false) on bo_but(0).
    std::function<void(bool pause)> paintPlayFace;
    // The episode sequencer's request for the following episode.
    std::function<void()> FetchNextEpisode;
    // Told when the film moved other than by playing (a seek, another film):
    // the next episode may be asked for again at once.
    std::function<void()> filmMoved = {};
    // Navigates the web player pane Web2 (the end-of-play hand-over).
    std::function<void(const QString& address)> navigateWeb2;
    // The time of day as the label shows it when nothing is loaded; default:
    // the platform's short time format.
    std::function<QString()> clockText = {};
};

inline const QString kReadyText = QStringLiteral("准备就绪");
inline const QString kPauseTip = QStringLiteral("暂停");
inline const QString kPlayFinishedText = QStringLiteral("播放完毕");
inline const QString kShutdownBalloon = QStringLiteral("即将播放完毕，正准备自动关机！");
inline const QString kNextEpisodeBalloon = QStringLiteral("正在准备播放下一集！");
inline const QString kBufferNextBalloon = QStringLiteral("开始缓冲下一集！");
inline const QString kCannotPlayPrefix = QStringLiteral("无法打开或解码：");

// The name a film's address shows to the viewer: a file's name, the name in
// a "qvod://" address, the last part of a web address, else the address.
QString filmName(const QString& address);

// While a film with a record plays, its position is written this often (in
// polls), so that a crash or a power cut loses at most this much.
inline constexpr int kPositionSaveTicks = 30;

class StatusPoll {
public:
    // sentinel: the end-of-play address Web2 is sent to.
    StatusPoll(MainWindowState& state, PlaySession& session, PollControls controls, PollServices services,
               QString sentinel);

    void pollPlayerStatus();  // the poll
    void finishPlayback();    // end of play
    void retryNextEpisode();  // next-episode retry
    // A film's first picture is drawn: the panels, status and bars show it
    // playing at once, not at the poll's next tick (up to a second later).
    // Counts no tick: what the poll keeps and tests goes on as before.
    void filmStarted();

    // The player gave up on the film it was given (a damaged or unsupported
    // file, an address it refuses): the status text and a balloon say so,
    // naming it, until another film is given. The record stays.
    void filmFailed();

    // Writes the position reached into the film's record, unless nothing with
    // a record plays or it has just ended; for the end of the session.
    void storePosition();

private:
    struct Reading;
    Reading read() const;
    void show(Reading& now);
    bool endTest(const Reading& now);
    void bufferNext(const Reading& now);
    void showPanels(Reading& now);
    void resume(Reading& now);
    void showStatus(const Reading& now);
    void showBars(const Reading& now);
    void keepPosition(const Reading& now);
    void noticeMove(const QString& url, int position);
    void placeTimes(const QString& text);
    bool gaveUp() const;  // the player gave up on the film it has
    QString failureText() const;
    void setPlayTip(const QString& tip, bool paint);
    bool balloonsWanted();

    MainWindowState& state_;
    PlaySession& session_;
    PollControls c_;
    PollServices s_;
    QString sentinel_;
    bool ended_ = false;  // the last poll saw the end; its record holds 0
    int ticksSinceSave_ = 0;
    int savedPosition_ = -1;
    QString failedUrl_;  // the film the player gave up on
    QString lastUrl_;    // film and position of the last poll
    int lastPosition_ = -1;
};

}  // namespace qarvel::playback
