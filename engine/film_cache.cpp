#include "engine/film_cache.h"

namespace qarvel::engine {

FilmCache::FilmCache(FetchTiming timing, QObject* parent) : QObject(parent), m_timing(timing) {}

FilmCache::~FilmCache() {
    QList<QObject*> fetchers;
    for (Entry& entry : m_entries) {
        entry.film->setWantHandler(nullptr);
        if (entry.fetcher) {
            // Nothing they still report can reach this object any more.
            disconnect(entry.fetcher, nullptr, this, nullptr);
            fetchers << entry.fetcher;
        }
    }
    m_entries.clear();
    // Fetchers save their bookkeeping as they stop, on their own thread.
    m_thread.shutdown(fetchers);
}

FilmCache::Entry* FilmCache::startEntry(const FilmSource& source, bool forPlaying, QString* error) {
    const QString key = entryKey(source.key);
    auto it = m_entries.find(key);
    if (it != m_entries.end()) {
        // Already on its way; a fetch that gave up gets another go.
        if (it->film->condition() == FetchCondition::Failed) {
            stopFetcher(*it);
            startFetcher(*it, forPlaying);
        }
        return &*it;
    }
    auto film = CachedFilm::open(m_folder, source, error);
    if (!film) return nullptr;
    Entry entry;
    entry.streamId = "film" + QString::number(m_nextId++);
    entry.film = film;
    {
        std::lock_guard lock(m_streamsMutex);
        m_streams[entry.streamId] = film;
    }
    it = m_entries.insert(key, entry);
    if (!film->isComplete()) startFetcher(*it, forPlaying);
    return &*it;
}

void FilmCache::startFetcher(Entry& entry, bool forPlaying) {
    auto* fetcher = new FilmFetcher(
        entry.film, m_thread.host(),
        forPlaying ? FilmFetcher::Persistence::WhilePlaying : FilmFetcher::Persistence::Bounded, m_timing);
    m_thread.adopt(fetcher);
    entry.fetcher = fetcher;
    const QString id = entry.streamId;
    connect(fetcher, &FilmFetcher::sizeKnown, this, [this, id](bool cacheable) { emit sizeKnown(id, cacheable); });
    connect(fetcher, &FilmFetcher::ended, this, [this, id] { emit fetchEnded(id); });
    entry.film->setWantHandler([fetcher](qint64 offset) {
        QMetaObject::invokeMethod(
            fetcher, [fetcher, offset] { fetcher->want(offset); }, Qt::QueuedConnection);
    });
    QMetaObject::invokeMethod(fetcher, &FilmFetcher::start, Qt::QueuedConnection);
}

void FilmCache::stopFetcher(Entry& entry) {
    entry.film->setWantHandler(nullptr);
    if (entry.fetcher) {
        disconnect(entry.fetcher, nullptr, this, nullptr);
        m_thread.dispose(entry.fetcher);  // stops and saves on its own thread
        entry.fetcher = nullptr;
    }
}

void FilmCache::dropIfUnused(const QString& key) {
    auto it = m_entries.find(key);
    if (it == m_entries.end() || it->playing || it->preloading) return;
    stopFetcher(*it);
    {
        std::lock_guard lock(m_streamsMutex);
        m_streams.erase(it->streamId);
    }
    m_entries.erase(it);
}

std::shared_ptr<CachedFilm> FilmCache::fetchForPlaying(const FilmSource& source, QString* error) {
    Entry* entry = startEntry(source, true, error);
    if (!entry) return nullptr;
    entry->playing = true;
    if (entry->fetcher) {
        FilmFetcher* fetcher = entry->fetcher;
        QMetaObject::invokeMethod(
            fetcher, [fetcher] { fetcher->setPersistence(FilmFetcher::Persistence::WhilePlaying); },
            Qt::QueuedConnection);
    }
    return entry->film;
}

void FilmCache::release(const std::shared_ptr<CachedFilm>& film) {
    if (!film) return;
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->film == film) {
            it->playing = false;
            dropIfUnused(it.key());
            return;
        }
    }
}

bool FilmCache::preload(const FilmSource& source, QString* error) {
    const QString key = entryKey(source.key);
    if (key != m_preloadKey) {
        const QString previous = m_preloadKey;
        m_preloadKey.clear();
        auto old = m_entries.find(previous);
        if (old != m_entries.end()) {
            old->preloading = false;
            dropIfUnused(previous);
        }
    }
    Entry* entry = startEntry(source, false, error);
    if (!entry) return false;
    entry->preloading = true;
    m_preloadKey = key;
    return true;
}

std::shared_ptr<CachedFilm> FilmCache::preloadedFilm() const {
    auto it = m_entries.find(m_preloadKey);
    return it == m_entries.end() ? nullptr : it->film;
}

QString FilmCache::streamIdOf(const std::shared_ptr<CachedFilm>& film) const {
    for (const Entry& entry : m_entries) {
        if (entry.film == film) return entry.streamId;
    }
    return QString();
}

std::shared_ptr<CachedFilm> FilmCache::filmForStream(const QString& streamId) const {
    std::lock_guard lock(m_streamsMutex);
    auto it = m_streams.find(streamId);
    return it == m_streams.end() ? nullptr : it->second.lock();
}

}  // namespace qarvel::engine
