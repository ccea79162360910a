#pragma once
// The HTML pages and pictures of the demo service, as UTF-8 text (the routes
// send pages as GBK). Pages are static and carry no outside resources: the
// panes that show them must stay cheap to render.
#include "service/catalogue.h"
#include "service/play_exchange.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qarvel::service::pages {

std::string htmlEscape(std::string_view utf8);

// The catalogue at the base address: posters and the "zuvovod://" play links of every episode.
std::string home(const Catalogue& catalogue);

// Play address of an episode, or nothing when it cannot be played now.
using AddressOf = std::function<std::optional<std::string>(const Series&, const Episode&)>;
// pp.htm: every source and its episodes ("zvqvod://" links with ids "c" + t + w),
// source `query.source` shown with episode `query.episode` marked; clicks
// element "c" + startKey right after the list is built unless startKey is "0".
std::string episodeList(const Series& series, const EpisodeListQuery& query, const AddressOf& addressOf);

// play.htm: plays the address in a video element and navigates to `sentinelUrl` at the end.
std::string webPlayer(const WebPlayerQuery& query, const std::string& sentinelUrl);

std::string tvList(const Catalogue& catalogue);
// Plays the channel's clip in a loop; `mediaPath` is the path of the media folder ("/box/media/").
std::string tvChannel(const Channel& channel, const std::string& mediaPath);
std::string tvIdle();

std::string pauseAd(const Catalogue& catalogue);     // js/ads/qvodad.html, 450 × 260
std::string stopAd();                                // js/ads/bo.html, 468 × 60
std::string highlights(const Catalogue& catalogue);  // js/ads/jingcai.html
std::string recommend(const Catalogue& catalogue);   // js/ads/tui.html
std::string pingAnswer();                            // tj/tj.asp

// A short page that says what went wrong.
std::string message(const std::string& title, const std::string& text);
// Poster of a series as SVG; pure ASCII (characters as references), so it needs no charset.
std::string posterSvg(const Series& series);

}  // namespace qarvel::service::pages
