#include "engine/cache_stream.h"

#include "engine/film_cache.h"

#include <mpv/stream_cb.h>

#include <atomic>

namespace qarvel::engine {

namespace {

struct StreamReader {
    std::shared_ptr<CachedFilm> film;
    qint64 position = 0;
    std::atomic<bool> cancelled{false};
};

int64_t readStream(void* cookie, char* buffer, uint64_t length) {
    auto* reader = static_cast<StreamReader*>(cookie);
    const qint64 n = reader->film->read(reader->position, buffer, qint64(length), reader->cancelled);
    if (n > 0) reader->position += n;
    return n;
}

int64_t seekStream(void* cookie, int64_t offset) {
    auto* reader = static_cast<StreamReader*>(cookie);
    const qint64 size = reader->film->size();
    if (offset < 0 || (size >= 0 && offset > size)) return MPV_ERROR_GENERIC;
    reader->position = offset;
    return offset;
}

int64_t streamSize(void* cookie) {
    const qint64 size = static_cast<StreamReader*>(cookie)->film->size();
    return size >= 0 ? int64_t(size) : int64_t(MPV_ERROR_UNSUPPORTED);
}

void closeStream(void* cookie) { delete static_cast<StreamReader*>(cookie); }

// Called from another thread when the player stops: wake a waiting read.
void cancelStream(void* cookie) {
    auto* reader = static_cast<StreamReader*>(cookie);
    reader->cancelled = true;
    reader->film->wakeReaders();
}

int openStream(void* userData, char* uri, mpv_stream_cb_info* info) {
    auto* cache = static_cast<FilmCache*>(userData);
    const QString text = QString::fromUtf8(uri);
    const QString prefix = QString(kCacheStreamScheme) + "://";
    if (!text.startsWith(prefix)) return MPV_ERROR_LOADING_FAILED;
    auto film = cache->filmForStream(text.mid(prefix.size()));
    if (!film || film->size() < 0) return MPV_ERROR_LOADING_FAILED;
    auto* reader = new StreamReader;
    reader->film = std::move(film);
    info->cookie = reader;
    info->read_fn = readStream;
    info->seek_fn = seekStream;
    info->size_fn = streamSize;
    info->close_fn = closeStream;
    info->cancel_fn = cancelStream;
    return 0;
}

}  // namespace

int registerCacheStream(mpv_handle* mpv, FilmCache* cache) {
    return mpv_stream_cb_add_ro(mpv, kCacheStreamScheme, cache, openStream);
}

QString cacheStreamUri(const QString& streamId) { return QString(kCacheStreamScheme) + "://" + streamId; }

}  // namespace qarvel::engine
