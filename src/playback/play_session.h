#pragma once
// What plays: where it comes from, which network episode it is, what is known
// of the episode after it, the positions the poll keeps and the record the
// position is written to. The window owns one session; the link handlers start
// films in it, the poll, the sequencer and the commands read and move it.
#include <QString>
#include <optional>

namespace qarvel::playback {

enum class PlaySource { None, NetworkEpisode, LocalFile, WebPlayer, LiveTv };

// Which record file the film's record is in.
enum class RecordKind { None, NetworkItem, LocalFile };

// What is known of the episode after the one that plays.
enum class NextEpisode {
    Unknown,    // nothing has played that could have one
    NotAsked,   // not asked for yet (or asking is switched off)
    NotYet,     // the service has none now; asked again later
    Available,  // its play link and media address are known
    Last,       // the service has none (or the last play request failed): no automatic next
    Failed,     // the request failed; the retry timer asks again
};

// Names a network episode. Its text, id "-" source "-" episode "-" title, is
// what the episode list pages and the service are given.
struct EpisodeKey {
    int id = 0;
    int source = 0;
    int episode = 0;  // from 0
    QString title;    // escaped, as the link carried it
    QString text() const;
    // The title as the next episode's link carries it: up to its first "-",
    // where the key's text ends its fourth piece.
    QString titleForNext() const;
    bool operator==(const EpisodeKey&) const = default;
};

class PlaySession {
public:
    // A network episode in the player; its record is the film id's.
    void startNetworkEpisode(const EpisodeKey& key, int resumeAt);
    // A network episode on the web player page: no position, no record.
    void startWebPlayerEpisode(const EpisodeKey& key);
    // A record whose episode the episode page will start in the web player:
    // until it does, the episode that played stays the session's.
    void handOverToWebPlayer();
    // A file or address from the local list or a command line.
    void startLocalFile(const QString& path, int resumeAt);
    // A file from the open dialog: recorded in the local list, the rest as it was.
    void recordLocalFile(const QString& path);
    void showLiveTv() { source_ = PlaySource::LiveTv; }
    // The stop command: nothing reached, nothing to resume.
    void stopped();
    // Two seconds after the end: 1 s reached and to resume from, as ever.
    void ended();

    PlaySource source() const { return source_; }
    const std::optional<EpisodeKey>& episode() const { return episode_; }

    // The next episode.
    NextEpisode next() const { return next_; }
    const QString& nextLink() const { return nextLink_; }        // Available only
    const QString& nextAddress() const { return nextAddress_; }  // media address to buffer
    bool nextBuffered() const { return nextBuffered_; }          // buffering started (or gave up)
    // Asking is switched off; an address already found is kept.
    void nextNotAsked();
    void nextNotYet();
    void nextLast();
    void nextAvailable(const QString& link, const QString& address);
    // The request failed: nothing is buffered until the retry asks again.
    void nextFailed();
    // The play request for another episode failed: the film that plays gets
    // no automatic next; an address already found is still buffered.
    void playRequestFailed() { next_ = NextEpisode::Last; }
    void setNextBuffered(bool buffered) { nextBuffered_ = buffered; }
    // A tick of the retry timer; true on the tick that asks again.
    bool retryTick();

    // Resume position, seconds: from the record at the start, then kept by the poll.
    int resumePosition() const { return resumePosition_; }
    void setResumePosition(int seconds) { resumePosition_ = seconds; }
    bool resumeDone() const { return resumeDone_; }
    void setResumeDone(bool done) { resumeDone_ = done; }
    // Seconds reached, from the last poll.
    int positionReached() const { return positionReached_; }
    void setPositionReached(int seconds) { positionReached_ = seconds; }

    RecordKind recordKind() const { return recordKind_; }
    // The record's id (network) or path (local); none for the web player.
    const std::optional<QString>& recordKey() const { return recordKey_; }

private:
    void clearNext();

    PlaySource source_ = PlaySource::None;
    std::optional<EpisodeKey> episode_;
    NextEpisode next_ = NextEpisode::Unknown;
    QString nextLink_;
    QString nextAddress_;
    bool nextBuffered_ = false;
    int retryTicks_ = 0;
    int resumePosition_ = 0;
    bool resumeDone_ = false;
    int positionReached_ = 0;
    RecordKind recordKind_ = RecordKind::None;
    std::optional<QString> recordKey_;
};

}  // namespace qarvel::playback
