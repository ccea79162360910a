#pragma once
// The film cache: which films are being fetched into the cache folder, for
// playing or ahead of time, on the engine's own network thread (so a busy user
// interface never stalls a download, and a download never stalls it).
#include "engine/cache/cached_film.h"
#include "engine/cache/fetch_thread.h"
#include "engine/cache/film_fetcher.h"

#include <QHash>
#include <QObject>
#include <map>
#include <memory>
#include <mutex>

namespace qarvel::engine {

class FilmCache : public QObject {
    Q_OBJECT
public:
    explicit FilmCache(FetchTiming timing = {}, QObject* parent = nullptr);
    // Stops every fetch (each saves its bookkeeping); waits for the network
    // thread a bounded time only.
    ~FilmCache() override;

    void setFolder(const QString& folder) { folder_ = folder; }
    QString folder() const { return folder_; }

    // Opens the film for playing and fetches what is missing. Null (with the
    // reason) when the cache cannot hold it; the caller then plays it from the
    // network directly.
    std::shared_ptr<CachedFilm> fetchForPlaying(const FilmSource& source, QString* error);
    // The film is no longer played; its fetch stops unless it is also preloaded.
    void release(const std::shared_ptr<CachedFilm>& film);
    // Starts fetching a film ahead of time; replaces the previous preload.
    bool preload(const FilmSource& source, QString* error);
    std::shared_ptr<CachedFilm> preloadedFilm() const;

    // The name under which the player opens a film's stream, and its lookup
    // (from the player's reading thread).
    QString streamIdOf(const std::shared_ptr<CachedFilm>& film) const;
    std::shared_ptr<CachedFilm> filmForStream(const QString& streamId) const;

signals:
    void sizeKnown(const QString& streamId, bool cacheable);
    void fetchEnded(const QString& streamId);

private:
    struct Entry {
        QString streamId;
        std::shared_ptr<CachedFilm> film;
        FilmFetcher* fetcher = nullptr;
        bool playing = false;
        bool preloading = false;
    };

    QString entryKey(const QString& filmKey) const { return folder_ + '\n' + filmKey; }
    Entry* startEntry(const FilmSource& source, bool forPlaying, QString* error);
    void startFetcher(Entry& entry, bool forPlaying);
    void dropIfUnused(const QString& key);
    void stopFetcher(Entry& entry);

    QString folder_;
    FetchTiming timing_;
    FetchThread thread_;
    QHash<QString, Entry> entries_;  // by entryKey
    QString preloadKey_;
    int nextId_ = 1;

    mutable std::mutex streamsMutex_;
    std::map<QString, std::weak_ptr<CachedFilm>> streams_;
};

}  // namespace qarvel::engine
