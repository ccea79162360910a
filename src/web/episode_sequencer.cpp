#include "web/episode_sequencer.h"

#include "platform/text_fetcher.h"
#include "playback/play_session.h"
#include "web/link_fields.h"
#include "web/pane_navigator.h"
#include "web/play_answer.h"

#include <QElapsedTimer>
#include <QTimer>
#include <memory>

namespace qarvel::web {

namespace {

// The play request for episode n of the key's film.
QString requestFor(const QString& base, const playback::EpisodeKey& key, qint64 n) {
    return playRequestAddress(base, key.id, QString::number(key.source), QString::number(n));
}

// The play link of episode n of the key's film, as an answer found it.
QString linkFor(const playback::EpisodeKey& key, qint64 n, const QString& kind, const PlayAnswer& found) {
    return episodeLinkText(kind, found.address, key.titleForNext(), found.name, key.id, QString::number(key.source),
                           QString::number(n));
}

}  // namespace

EpisodeSequencer::EpisodeSequencer(playback::PlaySession& session, SequencerServices services, QString base)
    : session_(session), s_(std::move(services)), base_(std::move(base)) {
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

bool EpisodeSequencer::stillPlays(const playback::EpisodeKey& key) const {
    return session_.episode() && *session_.episode() == key;
}

void EpisodeSequencer::FetchNextEpisode() {
    const QString autoBuffer =
        s_.readSetting ? s_.readSetting(QStringLiteral("S_q"), QStringLiteral("s_h"), QStringLiteral("0")) : QString();
    if (linkNumber(autoBuffer) != 2) {
        session_.nextNotAsked();
        return;
    }
    if (!session_.episode()) return;
    const playback::EpisodeKey key = *session_.episode();
    const QString keyText = key.text();
    if (keyText == noneKey_ && s_.clock() - noneAt_ < kAskAgainAfterNoneMs) return;
    if (nextTicket_ != 0) {
        if (nextKey_ == keyText) return;
        s_.fetcher.cancel(nextTicket_);
    }
    const qint64 n = qint64(key.episode) + 1;
    nextKey_ = keyText;
    nextTicket_ = s_.fetcher.fetch(requestFor(base_, key, n), [this, key, n](const QString& answer) {
        nextTicket_ = 0;
        answerNext(key, n, answer);
    });
}

void EpisodeSequencer::answerNext(const playback::EpisodeKey& key, qint64 n, const QString& answer) {
    if (!stillPlays(key)) return;
    const PlayAnswer play = classifyPlayAnswer(answer);
    if (play.kind == PlayAnswer::Kind::Refused) {
        session_.nextLast();
        return;
    }
    if (play.kind == PlayAnswer::Kind::Nothing && play.plainZero) {
        session_.nextNotYet();
        noneKey_ = key.text();
        noneAt_ = s_.clock();
        return;
    }
    if (play.kind == PlayAnswer::Kind::Found) {
        session_.nextAvailable(linkFor(key, n, QStringLiteral("qvod"), play), play.address);
        return;
    }
    session_.nextFailed();
    if (s_.showBalloon) s_.showBalloon(kNextEpisodeErrorBalloon);
    s_.retryNextEpisodeTimer.start();
}

int EpisodeSequencer::episodeIndex() const { return session_.episode() ? session_.episode()->episode : -1; }

bool EpisodeSequencer::canStep(int direction) const {
    return session_.episode() && !(direction == 1 && episodeIndex() == 0);
}

void EpisodeSequencer::StepEpisode(int direction) {
    if (!canStep(direction)) return;
    const playback::EpisodeKey key = *session_.episode();
    const bool previous = direction == 1;
    const qint64 n = previous ? qint64(key.episode) - 1 : qint64(key.episode) + 1;
    // A newer step replaces one still on its way.
    if (stepTicket_ != 0) s_.fetcher.cancel(stepTicket_);
    stepTicket_ = s_.fetcher.fetch(requestFor(base_, key, n), [this, key, n](const QString& answer) {
        stepTicket_ = 0;
        answerStep(key, n, answer);
    });
}

void EpisodeSequencer::answerStep(const playback::EpisodeKey& key, qint64 n, const QString& answer) {
    if (!stillPlays(key)) return;
    const PlayAnswer play = classifyPlayAnswer(answer);
    if (play.kind != PlayAnswer::Kind::Found) return;
    s_.panes.navigate(Pane::Catalogue, linkFor(key, n, play.playerKind, play) + QStringLiteral("&&&0"));
}

}  // namespace qarvel::web
