#include "playback/playback_speed.h"

#include "engine/player.h"
#include "playback/play_session.h"

#include <algorithm>
#include <cmath>

namespace qarvel::playback {

namespace {

// Speeds closer than this are the same step.
constexpr double kSameSpeed = 0.001;

// The film id of the episode that plays, empty for a film that is no episode.
QString seriesOf(const PlaySession& session) {
    return session.episode() ? QString::number(session.episode()->id) : QString();
}

}  // namespace

QString speedCaption(double speed) {
    const bool twoDecimals = std::abs(speed * 10 - std::round(speed * 10)) > kSameSpeed;
    return QString::number(speed, 'f', twoDecimals ? 2 : 1) + QChar(0x00D7);
}

QString speedSuffix(double speed) {
    return std::abs(speed - 1.0) < kSameSpeed ? QString() : u' ' + speedCaption(speed);
}

PlaybackSpeed::PlaybackSpeed(const PlaySession& session, engine::Player& player) : session_(session), player_(player) {}

double PlaybackSpeed::speed() const { return player_.speed(); }

void PlaybackSpeed::setSpeed(double speed) {
    player_.setSpeed(std::clamp(speed, engine::kSlowestSpeed, engine::kFastestSpeed));
    if (changed) changed(player_.speed());
}

void PlaybackSpeed::slower() {
    const double now = speed();
    double next = kSpeedSteps[0];
    for (double step : kSpeedSteps)
        if (step < now - kSameSpeed) next = step;
    setSpeed(next);
}

void PlaybackSpeed::faster() {
    const double now = speed();
    for (double step : kSpeedSteps) {
        if (step > now + kSameSpeed) return setSpeed(step);
    }
    setSpeed(std::end(kSpeedSteps)[-1]);
}

void PlaybackSpeed::filmStarted() {
    const QString url = player_.url();
    const QString series = seriesOf(session_);
    const bool same = url == lastUrl_ || (!series.isEmpty() && series == lastSeries_);
    lastUrl_ = url;
    lastSeries_ = series;
    if (!same && std::abs(speed() - 1.0) >= kSameSpeed) normal();
}

}  // namespace qarvel::playback
