#pragma once
// The demo catalogue: a few series with Chinese titles, their sources (play
// lines) and episodes, and the live-TV channels. Texts are UTF-8 here and become
// GBK on the way out. Immutable after construction, so every thread may read it.
#include <string>
#include <vector>

namespace qarvel::service {

struct Episode {
    std::string name;  // "第01集"
    std::string clip;  // file in the media folder; empty when not yet available
    bool available() const { return !clip.empty(); }
};

struct Source {
    std::string name;  // "线路一"
    std::vector<Episode> episodes;
};

struct Series {
    int id = 0;
    std::string title;
    std::string kind;  // player kind: "qvod" plays in the player, anything else in the web player page
    std::string year;
    std::string genre;
    std::string summary;
    std::string posterColor;  // CSS colour of the generated poster
    std::vector<Source> sources;
    int episodeCount() const;
};

struct Channel {
    std::string key;  // the "zvtvs://" parameter
    std::string name;
    std::string clip;  // looping clip in the media folder
};

class Catalogue {
public:
    // The catalogue the demo service serves.
    static const Catalogue& demo();

    Catalogue(std::vector<Series> series, std::vector<Channel> channels);
    const std::vector<Series>& series() const { return series_; }
    const std::vector<Channel>& channels() const { return channels_; }
    const Series* findSeries(int id) const;
    const Channel* findChannel(const std::string& key) const;
    // Every media file the catalogue refers to, each once.
    std::vector<std::string> clips() const;

private:
    std::vector<Series> series_;
    std::vector<Channel> channels_;
};

}  // namespace qarvel::service
