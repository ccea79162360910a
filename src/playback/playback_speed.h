#pragma once
// The playback speed: the steps of the "倍速" menu, the keys' slower, faster
// and normal, and what a new film plays at. An episode of the series that
// played keeps the speed (the viewer set it for the series), and so does the
// same film started again; any other film starts at 1.0×.
#include <QString>
#include <functional>

namespace qarvel::engine {
class Player;
}

namespace qarvel::playback {

class PlaySession;

inline constexpr double kSpeedSteps[] = {0.5, 0.75, 1.0, 1.25, 1.5, 2.0};

// "0.5×", "0.75×", "1.0×", "2.0×": at least one decimal.
QString speedCaption(double speed);
// What the status text ends with at this speed: nothing at 1.0×, else " 1.5×".
QString speedSuffix(double speed);

class PlaybackSpeed {
public:
    PlaybackSpeed(const PlaySession& session, engine::Player& player);

    double speed() const;
    // Clamped to the slowest and fastest step.
    void setSpeed(double speed);
    void slower();  // the step below the speed
    void faster();  // the step above it
    void normal() { setSpeed(1.0); }

    // A film began to show (its first picture); the session's episode names
    // what it is.
    void filmStarted();

    // After every change of the speed, with the new one.
    std::function<void(double speed)> changed;

private:
    const PlaySession& session_;
    engine::Player& player_;
    QString lastUrl_;
    QString lastSeries_;  // film id of the episode that played, empty for a single film
};

}  // namespace qarvel::playback
