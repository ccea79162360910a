#pragma once
// Episode after episode: asks the service for the episode that follows the
// one playing (so the poll can buffer it and the end of play can hand over to
// it), and steps to the previous or next episode on request.
//
// The requests never block the window. At most one next-episode request is
// on its way; a poll that finds nothing prepared asks again only after its
// answer, and after a "0" answer only once the retry interval has passed.
// An answer that arrives after another film started is dropped.
#include <QString>
#include <functional>

class QTimer;

namespace qarvel {
namespace platform {
class TextFetcher;
}
namespace playback {
class PlaySession;
struct EpisodeKey;
}  // namespace playback
}  // namespace qarvel

namespace qarvel::web {

class PaneNavigator;

struct SequencerServices {
    platform::TextFetcher& fetcher;
    PaneNavigator& panes;
    QTimer& retryNextEpisodeTimer;  // next-episode retry
    // ReadSetting on the settings file: section, key, default.
    std::function<QString(const QString& section, const QString& key, const QString& defaultText)> readSetting;
    std::function<void(const QString& text)> showBalloon;
    // Milliseconds on a steady clock; default: the process's monotonic clock.
    std::function<qint64()> clock = {};
};

// After the service said there is no next episode yet ("0"), the same
// episode's next is asked again only this long after, like a failed request.
inline constexpr qint64 kAskAgainAfterNoneMs = 100 * 1000;

inline const QString kNextEpisodeErrorBalloon = QStringLiteral("读取下一集数据出错，稍后将重新读取！");

class EpisodeSequencer {
public:
    // base: the service base address, ending in "/".
    EpisodeSequencer(playback::PlaySession& session, SequencerServices services, QString base);
    ~EpisodeSequencer();
    EpisodeSequencer(const EpisodeSequencer&) = delete;
    EpisodeSequencer& operator=(const EpisodeSequencer&) = delete;

    // Asks for the episode after the one playing; the answer sets the
    // session's next episode.
    void FetchNextEpisode();
    // direction 1: the previous episode; anything else: the next one.
    void StepEpisode(int direction);
    // Whether StepEpisode(direction) would ask for an episode: a series plays,
    // and backwards only from its second episode on.
    bool canStep(int direction) const;
    // The 0-based number of the episode that plays, -1 when no series plays.
    int episodeIndex() const;

    bool nextRequestPending() const { return nextTicket_ != 0; }
    // The film moved (a seek, another film): a "0" answer no longer holds
    // the next request back.
    void askAgainAtOnce() { noneKey_.clear(); }

private:
    void answerNext(const playback::EpisodeKey& key, qint64 n, const QString& answer);
    void answerStep(const playback::EpisodeKey& key, qint64 n, const QString& answer);
    bool stillPlays(const playback::EpisodeKey& key) const;

    playback::PlaySession& session_;
    SequencerServices s_;
    QString base_;
    quint64 nextTicket_ = 0;  // next-episode request on its way, 0 for none
    QString nextKey_;         // text of the episode key it was asked for
    quint64 stepTicket_ = 0;
    QString noneKey_;  // text of the key of the episode the service has no next for yet
    qint64 noneAt_ = 0;
};

}  // namespace qarvel::web
