#include "web/episode_sequencer.h"

#include "platform/text_fetcher.h"
#include "state/main_window_state.h"
#include "web/link_fields.h"
#include "web/pane_navigator.h"
#include "web/play_answer.h"

#include <QElapsedTimer>
#include <QTimer>
#include <memory>

namespace qarvel::web {

namespace {

const QString kDash = QStringLiteral("-");

// EpisodeKey names an episode: film id "-" source "-" index "-" title.
bool isEpisodeKey(const QString& key) { return key != u"0" && key.contains(u'-'); }

// The play request for episode n of the film the key names.
QString requestFor(const QString& base, const QString& key, qint64 n) {
    return playRequestAddress(base, linkNumber(fieldAt(key, kDash, 0)), fieldAt(key, kDash, 1), QString::number(n));
}

// The play link of episode n of the key's film, as an answer found it.
QString linkFor(const QString& key, qint64 n, const QString& kind, const PlayAnswer& found) {
    return episodeLinkText(kind, found.address, fieldAt(key, kDash, 3), found.name, linkNumber(fieldAt(key, kDash, 0)),
                           fieldAt(key, kDash, 1), QString::number(n));
}

}  // namespace

EpisodeSequencer::EpisodeSequencer(MainWindowState& state, SequencerServices services, QString base)
    : state_(state), s_(std::move(services)), base_(std::move(base)) {
    if (!s_.clock) {
        s_.clock = [since = std::make_shared<QElapsedTimer>()] {
            if (!since->isValid()) since->start();
            return since->elapsed();
        };
    }
}

EpisodeSequencer::~EpisodeSequencer() {
    if (nextTicket_ != 0) s_.fetcher.cancel(nextTicket_);
    if (stepTicket_ != 0) s_.fetcher.cancel(stepTicket_);
}

void EpisodeSequencer::FetchNextEpisode() {
    const QString autoBuffer =
        s_.readSetting ? s_.readSetting(QStringLiteral("S_q"), QStringLiteral("s_h"), QStringLiteral("0")) : QString();
    if (linkNumber(autoBuffer) != 2) {
        state_.NextEpisodeLink = QStringLiteral("0");
        return;
    }
    const QString key = state_.EpisodeKey;
    if (!isEpisodeKey(key)) return;
    if (key == noneKey_ && s_.clock() - noneAt_ < kAskAgainAfterNoneMs) return;
    if (nextTicket_ != 0) {
        if (nextKey_ == key) return;
        s_.fetcher.cancel(nextTicket_);
    }
    const qint64 n = qint64(linkNumber(fieldAt(key, kDash, 2))) + 1;
    nextKey_ = key;
    nextTicket_ = s_.fetcher.fetch(requestFor(base_, key, n), [this, key, n](const QString& answer) {
        nextTicket_ = 0;
        answerNext(key, n, answer);
    });
}

void EpisodeSequencer::answerNext(const QString& key, qint64 n, const QString& answer) {
    if (state_.EpisodeKey != key) return;
    // "0" and "1" are compared as text here: "00" is no answer of the service.
    if (answer == u"1" || answer == u"0") {
        state_.NextEpisodeLink = state_.NextEpisodeUrl = answer;
        if (answer == u"0") {
            noneKey_ = key;
            noneAt_ = s_.clock();
        }
        return;
    }
    const PlayAnswer play = classifyPlayAnswer(answer);
    if (play.kind == PlayAnswer::Kind::Found) {
        state_.NextEpisodeUrl = play.address;
        state_.NextBufferStarted = 0;
        state_.NextEpisodeLink = linkFor(key, n, QStringLiteral("qvod"), play);
        return;
    }
    state_.NextEpisodeLink = QStringLiteral("3");
    state_.NextEpisodeUrl = QStringLiteral("0");
    state_.RetryTicks = 0;
    state_.NextBufferStarted = 1;
    if (s_.showBalloon) s_.showBalloon(kNextEpisodeErrorBalloon);
    s_.Timer4.start();
}

int EpisodeSequencer::episodeIndex() const {
    const QString& key = state_.EpisodeKey;
    return isEpisodeKey(key) ? linkNumber(fieldAt(key, kDash, 2)) : -1;
}

bool EpisodeSequencer::canStep(int direction) const {
    return isEpisodeKey(state_.EpisodeKey) && !(direction == 1 && episodeIndex() == 0);
}

void EpisodeSequencer::StepEpisode(int direction) {
    const QString key = state_.EpisodeKey;
    if (!canStep(direction)) return;
    const int index = linkNumber(fieldAt(key, kDash, 2));
    const bool previous = direction == 1;
    const qint64 n = previous ? qint64(index) - 1 : qint64(index) + 1;
    // A newer step replaces one still on its way.
    if (stepTicket_ != 0) s_.fetcher.cancel(stepTicket_);
    stepTicket_ = s_.fetcher.fetch(requestFor(base_, key, n), [this, key, n](const QString& answer) {
        stepTicket_ = 0;
        answerStep(key, n, answer);
    });
}

void EpisodeSequencer::answerStep(const QString& key, qint64 n, const QString& answer) {
    if (state_.EpisodeKey != key || answer == u"1" || answer == u"0") return;
    const PlayAnswer play = classifyPlayAnswer(answer);
    if (play.kind != PlayAnswer::Kind::Found) return;
    s_.panes.navigate(Pane::Catalogue, linkFor(key, n, play.playerKind, play) + QStringLiteral("&&&0"));
}

}  // namespace qarvel::web
