#include "playback/playback_speed.h"

#include "engine/player.h"
#include "state/main_window_state.h"

#include <algorithm>
#include <cmath>

namespace qarvel::playback {

namespace {

// Speeds closer than this are the same step.
constexpr double kSameSpeed = 0.001;

// The film id of an episode key ("1002-0-1-title"), empty for "0" or a film
// that is no episode.
QString seriesOf(const QString& episodeKey) {
    if (episodeKey == u"0" || !episodeKey.contains(u'-')) return {};
    return episodeKey.section(u'-', 0, 0);
}

}  // namespace

QString speedCaption(double speed) {
    const bool twoDecimals = std::abs(speed * 10 - std::round(speed * 10)) > kSameSpeed;
    return QString::number(speed, 'f', twoDecimals ? 2 : 1) + QChar(0x00D7);
}

QString speedSuffix(double speed) {
    return std::abs(speed - 1.0) < kSameSpeed ? QString() : u' ' + speedCaption(speed);
}

PlaybackSpeed::PlaybackSpeed(MainWindowState& state, engine::Player& player) : state_(state), player_(player) {}

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
    const QString series = seriesOf(state_.EpisodeKey);
    const bool same = url == lastUrl_ || (!series.isEmpty() && series == lastSeries_);
    lastUrl_ = url;
    lastSeries_ = series;
    if (!same && std::abs(speed() - 1.0) >= kSameSpeed) normal();
}

}  // namespace qarvel::playback
