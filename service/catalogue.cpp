#include "service/catalogue.h"

#include <algorithm>
#include <cstdio>

namespace qarvel::service {
namespace {

std::string twoDigits(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

// Episodes "第01集" … with clips prefix-01.mp4 …; the last `unavailable` of them
// are announced but not yet available.
std::vector<Episode> numberedEpisodes(int count, const std::string& clipPrefix, const std::string& extension,
                                      int unavailable = 0) {
    std::vector<Episode> list;
    for (int i = 1; i <= count; ++i) {
        const bool released = i <= count - unavailable;
        list.push_back({"第" + twoDigits(i) + "集", released ? clipPrefix + twoDigits(i) + extension : std::string()});
    }
    return list;
}

Catalogue makeDemo() {
    std::vector<Series> series;
    // A long series with a mirror line; its 13th episode is announced but not out.
    series.push_back({1001,
                      "星河往事",
                      "qvod",
                      "2024",
                      "科幻",
                      "一艘老旧货船在星河边缘收到一段失落的信号，船员们循着信号驶向未知的星域。",
                      "#27408b",
                      {{"线路一", numberedEpisodes(13, "xinghe-", ".mp4", 1)},
                       {"线路二", numberedEpisodes(12, "xinghe-", ".mp4")}}});
    series.push_back({1002,
                      "侠客行-风云再起",
                      "qvod",
                      "2023",
                      "武侠",
                      "江湖再起风波，少年侠客为寻师门旧案踏上远行之路。",
                      "#8b1a1a",
                      {{"线路一", numberedEpisodes(3, "xiake-", ".mp4")}}});
    series.push_back({1003,
                      "城市之光",
                      "qvod",
                      "2022",
                      "剧情",
                      "一个夜班出租车司机和一座不眠城市的故事。",
                      "#b8860b",
                      {{"线路一", {{"正片", "chengshi.mp4"}}}}});
    series.push_back({1004,
                      "海底探秘",
                      "html5",
                      "2024",
                      "纪录片",
                      "潜入深海，探访珊瑚礁与海底峡谷中的生命。",
                      "#00688b",
                      {{"网页播放", numberedEpisodes(3, "haidi-", ".webm")}}});
    // Episodes of 12 s that open and close with a card of 4 s each.
    series.push_back({1005,
                      "山海谣",
                      "qvod",
                      "2025",
                      "古装",
                      "山中药童与海上渔女，一段歌谣连起两处人家。",
                      "#2a9d8f",
                      {{"线路一", numberedEpisodes(3, "shanhai-", ".mp4")}}});
    std::vector<Channel> channels = {
        {"news", "新闻频道", "tv-news.webm"},
        {"sports", "体育频道", "tv-sports.webm"},
        {"movie", "电影频道", "tv-movie.webm"},
    };
    return Catalogue(std::move(series), std::move(channels));
}

}  // namespace

int Series::episodeCount() const {
    size_t n = 0;
    for (const Source& s : sources) n = std::max(n, s.episodes.size());
    return static_cast<int>(n);
}

const Catalogue& Catalogue::demo() {
    static const Catalogue catalogue = makeDemo();
    return catalogue;
}

Catalogue::Catalogue(std::vector<Series> series, std::vector<Channel> channels)
    : series_(std::move(series)), channels_(std::move(channels)) {}

const Series* Catalogue::findSeries(int id) const {
    for (const Series& s : series_)
        if (s.id == id) return &s;
    return nullptr;
}

const Channel* Catalogue::findChannel(const std::string& key) const {
    for (const Channel& c : channels_)
        if (c.key == key) return &c;
    return nullptr;
}

std::vector<std::string> Catalogue::clips() const {
    std::vector<std::string> all;
    auto add = [&all](const std::string& clip) {
        if (!clip.empty() && std::find(all.begin(), all.end(), clip) == all.end()) all.push_back(clip);
    };
    for (const Series& s : series_)
        for (const Source& src : s.sources)
            for (const Episode& e : src.episodes) add(e.clip);
    for (const Channel& c : channels_) add(c.clip);
    return all;
}

}  // namespace qarvel::service
