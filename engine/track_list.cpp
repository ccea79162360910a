#include "engine/track_list.h"

#include <mpv/client.h>

namespace qarvel::engine {

namespace {

const mpv_node* member(const mpv_node& map, const char* key) {
    if (map.format != MPV_FORMAT_NODE_MAP || !map.u.list) return nullptr;
    const mpv_node_list* list = map.u.list;
    for (int i = 0; i < list->num; ++i) {
        if (list->keys && qstrcmp(list->keys[i], key) == 0) return &list->values[i];
    }
    return nullptr;
}

QString text(const mpv_node* node) {
    return node && node->format == MPV_FORMAT_STRING ? QString::fromUtf8(node->u.string) : QString();
}

QList<AudioTrack> tracksOf(const mpv_node& trackList, QStringView type) {
    QList<AudioTrack> tracks;
    if (trackList.format != MPV_FORMAT_NODE_ARRAY || !trackList.u.list) return tracks;
    const mpv_node_list* list = trackList.u.list;
    for (int i = 0; i < list->num; ++i) {
        const mpv_node& entry = list->values[i];
        const mpv_node* id = member(entry, "id");
        if (text(member(entry, "type")) != type || !id || id->format != MPV_FORMAT_INT64) continue;
        const mpv_node* selected = member(entry, "selected");
        tracks.append(AudioTrack{int(id->u.int64), text(member(entry, "lang")), text(member(entry, "title")),
                                 selected && selected->format == MPV_FORMAT_FLAG && selected->u.flag != 0});
    }
    return tracks;
}

}  // namespace

QList<AudioTrack> audioTracksOf(const mpv_node& trackList) { return tracksOf(trackList, u"audio"); }

QList<SubtitleTrack> subtitleTracksOf(const mpv_node& trackList) { return tracksOf(trackList, u"sub"); }

}  // namespace qarvel::engine
