#include "engine/cache/film_cache.h"

namespace qarvel::engine {

FilmCache::FilmCache(FetchTiming timing, QObject* parent) : QObject(parent), timing_(timing) {}

FilmCache::~FilmCache() {
    QList<QObject*> fetchers;
    for (Entry& entry : entries_) {
        entry.film->setWantHandler(nullptr);
        if (entry.fetcher) {
            // Nothing they still report can reach this object any more.
            disconnect(entry.fetcher, nullptr, this, nullptr);
            fetchers << entry.fetcher;
        }
    }
    entries_.clear();
    // Fetchers save their bookkeeping as they stop, on their own thread.
    thread_.shutdown(fetchers);
}

FilmCache::Entry* FilmCache::startEntry(const FilmSource& source, bool forPlaying, QString* error) {
    const QString key = entryKey(source.key);
    auto it = entries_.find(key);
    if (it != entries_.end()) {
        // Already on its way; a fetch that gave up gets another go.
        if (it->film->condition() == FetchCondition::Failed) {
            stopFetcher(*it);
            startFetcher(*it, forPlaying);
        }
        return &*it;
    }
    auto film = CachedFilm::open(folder_, source, error);
    if (!film) return nullptr;
    Entry entry;
    entry.streamId = "film" + QString::number(nextId_++);
    entry.film = film;
    {
        std::lock_guard lock(streamsMutex_);
        streams_[entry.streamId] = film;
    }
    it = entries_.insert(key, entry);
    if (!film->isComplete()) startFetcher(*it, forPlaying);
    return &*it;
}

void FilmCache::startFetcher(Entry& entry, bool forPlaying) {
    auto* fetcher = new FilmFetcher(
        entry.film, thread_.host(),
        forPlaying ? FilmFetcher::Persistence::WhilePlaying : FilmFetcher::Persistence::Bounded, timing_);
    thread_.adopt(fetcher);
    entry.fetcher = fetcher;
    const QString id = entry.streamId;
    connect(fetcher, &FilmFetcher::sizeKnown, this, [this, id](bool cacheable) { emit sizeKnown(id, cacheable); });
    connect(fetcher, &FilmFetcher::ended, this, [this, id] { emit fetchEnded(id); });
    // Cleared before the fetcher is disposed of, so a reader never sends it a
    // call after that; calls go through the network thread's queue in order.
    NetworkHost* host = thread_.host();
    entry.film->setWantHandler(
        [host, fetcher](qint64 offset) { host->post([fetcher, offset] { fetcher->want(offset); }); });
    thread_.post([fetcher] { fetcher->start(); });
}

void FilmCache::stopFetcher(Entry& entry) {
    entry.film->setWantHandler(nullptr);
    if (entry.fetcher) {
        disconnect(entry.fetcher, nullptr, this, nullptr);
        thread_.dispose(entry.fetcher);  // stops and saves on its own thread
        entry.fetcher = nullptr;
    }
}

void FilmCache::dropIfUnused(const QString& key) {
    auto it = entries_.find(key);
    if (it == entries_.end() || it->playing || it->preloading) return;
    stopFetcher(*it);
    {
        std::lock_guard lock(streamsMutex_);
        streams_.erase(it->streamId);
    }
    entries_.erase(it);
}

std::shared_ptr<CachedFilm> FilmCache::fetchForPlaying(const FilmSource& source, QString* error) {
    Entry* entry = startEntry(source, true, error);
    if (!entry) return nullptr;
    entry->playing = true;
    if (entry->fetcher) {
        FilmFetcher* fetcher = entry->fetcher;
        thread_.post([fetcher] { fetcher->setPersistence(FilmFetcher::Persistence::WhilePlaying); });
    }
    return entry->film;
}

void FilmCache::release(const std::shared_ptr<CachedFilm>& film) {
    if (!film) return;
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->film == film) {
            it->playing = false;
            dropIfUnused(it.key());
            return;
        }
    }
}

bool FilmCache::preload(const FilmSource& source, QString* error) {
    const QString key = entryKey(source.key);
    if (key != preloadKey_) {
        const QString previous = preloadKey_;
        preloadKey_.clear();
        auto old = entries_.find(previous);
        if (old != entries_.end()) {
            old->preloading = false;
            dropIfUnused(previous);
        }
    }
    Entry* entry = startEntry(source, false, error);
    if (!entry) return false;
    entry->preloading = true;
    preloadKey_ = key;
    return true;
}

std::shared_ptr<CachedFilm> FilmCache::preloadedFilm() const {
    auto it = entries_.find(preloadKey_);
    return it == entries_.end() ? nullptr : it->film;
}

QString FilmCache::streamIdOf(const std::shared_ptr<CachedFilm>& film) const {
    for (const Entry& entry : entries_) {
        if (entry.film == film) return entry.streamId;
    }
    return QString();
}

std::shared_ptr<CachedFilm> FilmCache::filmForStream(const QString& streamId) const {
    std::lock_guard lock(streamsMutex_);
    auto it = streams_.find(streamId);
    return it == streams_.end() ? nullptr : it->second.lock();
}

}  // namespace qarvel::engine
