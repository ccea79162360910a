#pragma once
// Lets the player read a film from the cache while it is still arriving: a
// stream protocol of our own whose reads wait for the bytes they need (and send
// the fetch there) instead of failing at the edge of what has arrived.
#include <QString>
#include <mpv/stream_cb.h>

namespace qarvel::engine {

class FilmCache;

inline constexpr const char* kCacheStreamScheme = "qarvelcache";

// Registers the protocol on a player instance; the cache must outlive the
// instance. Returns the player's error code (0 on success).
int registerCacheStream(mpv_handle* mpv, FilmCache* cache);
QString cacheStreamUri(const QString& streamId);

// The open callback the player calls for a stream of the cache (the player's
// demuxer thread); it fills info with the stream's other callbacks.
int openCacheStream(FilmCache* cache, const char* uri, mpv_stream_cb_info* info);

}  // namespace qarvel::engine
