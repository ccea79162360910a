#pragma once
// The sound and subtitle tracks in the player's "track-list" property.
#include "engine/player.h"

struct mpv_node;

namespace qarvel::engine {

// The audio entries of a track-list node (an array of maps with "type",
// "id", "lang", "title", "selected"); anything else in it is skipped.
QList<AudioTrack> audioTracksOf(const mpv_node& trackList);
// The subtitle entries ("type" "sub") of a track-list node, the same way.
QList<SubtitleTrack> subtitleTracksOf(const mpv_node& trackList);

}  // namespace qarvel::engine
