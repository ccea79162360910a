#pragma once
// The service side of the play request exchange: the answers of "h.asp", the
// queries of the episode-list and web-player pages, and the link texts the pages
// carry, field for field as the client cuts them.
#include "service/catalogue.h"
#include "service/media_library.h"

#include <optional>
#include <string>
#include <string_view>

namespace qarvel::service {

struct TextAnswer {
    int status = 200;
    std::string body;  // UTF-8
};

// h.asp?id=&v=&v1=: name "$" address "$" kind for an episode that can be played;
// "1" for a film, source or episode that does not exist (past the last episode);
// "0" for an episode that is announced but not yet available, or whose clip is
// missing from the media folder; 400 when a field is not a decimal number.
TextAnswer answerPlayRequest(const Catalogue& catalogue, const MediaLibrary& media, std::string_view id,
                             std::string_view v, std::string_view v1, const std::string& base);

// The play address of an episode: "qvod://" SIZE "|" HASH "|" NAME "|" for the
// player kind "qvod" (served at base + "seed/" HASH "/" NAME), base + "media/" NAME
// for the others. Nothing when the episode has no clip or the clip is missing.
std::optional<std::string> playAddress(const Series& series, const Episode& episode, const MediaLibrary& media,
                                       const std::string& base);

// "zuvovod://" id "-" v "-" v1 "-" escaped title.
std::string playRequestLink(const Series& series, int source, int episode);
// "zvqvod://" kind "&&&" escaped address "&&&" escaped title "&&&" escaped name
// "&&&" id "&&&" t "&&&" w "&&&n&&&1".
std::string episodeListLink(const Series& series, int source, int episode, const std::string& address);
// The id of an episode's element in the episode list: "c" + t + w.
std::string episodeElementId(int source, int episode);

// pp.htm? id "-" ly "-" did "-" title "-" cll. The title may itself hold "-", so
// cll is the last field; the title is not needed (the film is known by its id).
struct EpisodeListQuery {
    int id = 0;
    int source = 0;              // ly
    int episode = 0;             // did
    std::string startKey = "0";  // cll: "0" or digits
};
std::optional<EpisodeListQuery> parseEpisodeListQuery(std::string_view rawQuery);

// play.htm? kind "$$$" escaped address. Only http and https addresses are accepted.
struct WebPlayerQuery {
    std::string kind;
    std::string address;  // unescaped
};
std::optional<WebPlayerQuery> parseWebPlayerQuery(std::string_view rawQuery);

// A non-negative decimal number that fits an int.
std::optional<int> parseIndex(std::string_view text);

}  // namespace qarvel::service
