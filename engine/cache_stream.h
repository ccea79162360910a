#pragma once
// Lets the player read a film from the cache while it is still arriving: a
// stream protocol of our own whose reads wait for the bytes they need (and send
// the fetch there) instead of failing at the edge of what has arrived.
#include <QString>

struct mpv_handle;

namespace qarvel::engine {

class FilmCache;

inline constexpr const char* kCacheStreamScheme = "qarvelcache";

// Registers the protocol on a player instance; the cache must outlive the
// instance. Returns the player's error code (0 on success).
int registerCacheStream(mpv_handle* mpv, FilmCache* cache);
QString cacheStreamUri(const QString& streamId);

}  // namespace qarvel::engine
