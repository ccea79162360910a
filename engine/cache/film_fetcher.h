#pragma once
// Fetches one film into its cache file with HTTP range requests. Lives on the
// engine's network thread. It fills the gaps of the file starting where a reader
// waits, moves when a reader waits elsewhere, tries the next source when one
// fails, and retries a source that went away.
#include "engine/cache/cached_film.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVector>
#include <memory>

class QNetworkReply;

namespace qarvel::engine {

class NetworkHost;

// How patient a fetch is. Tests shorten it.
struct FetchTiming {
    int firstRetryMs = 250;  // the wait after a first failure; doubled after each further one
    int longestRetryMs = 2000;
    int stallMs = 8000;      // a source that sends nothing this long (no answer included) counts as gone
    int saveEveryMs = 2000;  // bookkeeping saved this often while data arrives
};

class FilmFetcher : public QObject {
    Q_OBJECT
public:
    // The film being played keeps trying once any of it has arrived (the source
    // may come back); a film fetched ahead of time gives up after a few failures.
    enum class Persistence { WhilePlaying, Bounded };

    FilmFetcher(std::shared_ptr<CachedFilm> film, NetworkHost* host, Persistence persistence, FetchTiming timing = {},
                QObject* parent = nullptr);
    ~FilmFetcher() override;

    void start();
    void stop();
    // A reader waits for offset.
    void want(qint64 offset);
    void setPersistence(Persistence persistence) { persistence_ = persistence; }
    const std::shared_ptr<CachedFilm>& film() const { return film_; }

signals:
    // The size of a film whose size was unknown is now known (cacheable), or the
    // source answered with something that cannot be cached (a stream, a page).
    void sizeKnown(bool cacheable);
    // The film is complete, or the fetch gave up (the film's condition says which).
    void ended();

private:
    enum class Verdict { Fine, Transient, Permanent, NotCacheable };

    void issueRequest();
    void onReadyRead();
    void onFinished();
    Verdict checkHeaders();
    void dropReply();
    void handleFailure(Verdict verdict, const QString& why);
    void finish(FetchCondition condition);
    bool shouldGiveUp() const;
    int nextLiveSource(int from) const;

    std::shared_ptr<CachedFilm> film_;
    NetworkHost* host_;
    Persistence persistence_;
    FetchTiming timing_;
    // Guarded: the replies belong to the network access manager, which may go first.
    QPointer<QNetworkReply> reply_;
    QTimer retry_;
    QTimer save_;

    QVector<bool> dead_;  // sources that answered with a permanent error
    int source_ = 0;      // index into the film's urls
    int failures_ = 0;    // consecutive attempts that brought nothing
    bool everReceived_ = false;
    bool ended_ = false;
    bool headersChecked_ = false;
    qint64 want_ = -1;        // where a reader waits, -1 when nobody does
    qint64 pos_ = 0;          // next byte the current request writes
    qint64 requestEnd_ = -1;  // end (exclusive) of the current request, -1 open
    qint64 skip_ = 0;         // bytes to drop when a source ignored the range
    qint64 receivedThisRequest_ = 0;
};

}  // namespace qarvel::engine
