#include "engine/cache_stream.h"

#include "engine/cache/film_cache.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace qarvel::engine {

namespace {

struct StreamReader {
    std::shared_ptr<CachedFilm> film;
    qint64 position = 0;  // the demuxer thread's alone
    std::atomic<bool> cancelled{false};
};

// The player may call a stream's cancel callback after its close callback, from
// another thread: it unhooks the cancel only when it frees the stream, after the
// close. So a stream's cookie is a number, never a pointer; a cancel looks it up
// and does nothing once the stream is closed. Numbers are never used twice.
class OpenStreams {
public:
    static OpenStreams& instance() {
        // Never destroyed: a player ending after static destruction still finds it.
        static auto* streams = new OpenStreams;
        return *streams;
    }

    void* add(std::shared_ptr<StreamReader> reader) {
        std::lock_guard lock(mutex_);
        const std::uintptr_t id = next_++;
        readers_.emplace(id, std::move(reader));
        return reinterpret_cast<void*>(id);
    }
    std::shared_ptr<StreamReader> find(void* cookie) {
        std::lock_guard lock(mutex_);
        auto it = readers_.find(reinterpret_cast<std::uintptr_t>(cookie));
        return it == readers_.end() ? nullptr : it->second;
    }
    std::shared_ptr<StreamReader> remove(void* cookie) {
        std::lock_guard lock(mutex_);
        auto node = readers_.extract(reinterpret_cast<std::uintptr_t>(cookie));
        return node ? std::move(node.mapped()) : nullptr;
    }

private:
    std::mutex mutex_;
    std::unordered_map<std::uintptr_t, std::shared_ptr<StreamReader>> readers_;
    std::uintptr_t next_ = 1;
};

int64_t readStream(void* cookie, char* buffer, uint64_t length) {
    const auto reader = OpenStreams::instance().find(cookie);
    if (!reader) return -1;
    const qint64 n = reader->film->read(reader->position, buffer, qint64(length), reader->cancelled);
    if (n > 0) reader->position += n;
    return n;
}

int64_t seekStream(void* cookie, int64_t offset) {
    const auto reader = OpenStreams::instance().find(cookie);
    if (!reader) return MPV_ERROR_GENERIC;
    const qint64 size = reader->film->size();
    if (offset < 0 || (size >= 0 && offset > size)) return MPV_ERROR_GENERIC;
    reader->position = offset;
    return offset;
}

int64_t streamSize(void* cookie) {
    const auto reader = OpenStreams::instance().find(cookie);
    const qint64 size = reader ? reader->film->size() : -1;
    return size >= 0 ? int64_t(size) : int64_t(MPV_ERROR_UNSUPPORTED);
}

// The film goes here unless a fetch or a cancel still holds it (its last holder frees it).
void closeStream(void* cookie) { OpenStreams::instance().remove(cookie); }

// Called from another thread when the player stops: wake a waiting read.
void cancelStream(void* cookie) {
    const auto reader = OpenStreams::instance().find(cookie);
    if (!reader) return;  // closed already
    reader->cancelled = true;
    reader->film->wakeReaders();
}

int openStream(void* userData, char* uri, mpv_stream_cb_info* info) {
    return openCacheStream(static_cast<FilmCache*>(userData), uri, info);
}

}  // namespace

int openCacheStream(FilmCache* cache, const char* uri, mpv_stream_cb_info* info) {
    const QString text = QString::fromUtf8(uri);
    const QString prefix = QString(kCacheStreamScheme) + "://";
    if (!text.startsWith(prefix)) return MPV_ERROR_LOADING_FAILED;
    auto film = cache->filmForStream(text.mid(prefix.size()));
    if (!film || film->size() < 0) return MPV_ERROR_LOADING_FAILED;
    auto reader = std::make_shared<StreamReader>();
    reader->film = std::move(film);
    info->cookie = OpenStreams::instance().add(std::move(reader));
    info->read_fn = readStream;
    info->seek_fn = seekStream;
    info->size_fn = streamSize;
    info->close_fn = closeStream;
    info->cancel_fn = cancelStream;
    return 0;
}

int registerCacheStream(mpv_handle* mpv, FilmCache* cache) {
    return mpv_stream_cb_add_ro(mpv, kCacheStreamScheme, cache, openStream);
}

QString cacheStreamUri(const QString& streamId) { return QString(kCacheStreamScheme) + "://" + streamId; }

}  // namespace qarvel::engine
