#include "service/play_exchange.h"

#include "common/js_escape.h"

#include <charconv>
#include <vector>

namespace qarvel::service {
namespace {

std::vector<std::string_view> split(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        if (at == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
}

bool isDigits(std::string_view s) {
    if (s.empty()) return false;
    for (const char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

std::optional<int> parseIndex(std::string_view text) {
    if (!isDigits(text)) return std::nullopt;
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return v;
}

std::optional<std::string> playAddress(const Series& series, const Episode& episode, const MediaLibrary& media,
                                       const std::string& base) {
    if (!episode.available()) return std::nullopt;
    if (series.kind == "qvod") {
        const auto file = media.find(episode.clip);
        if (!file) return std::nullopt;
        return "qvod://" + std::to_string(file->size) + "|" + file->sha1 + "|" + file->name + "|";
    }
    if (!media.exists(episode.clip)) return std::nullopt;
    return base + "media/" + episode.clip;
}

TextAnswer answerPlayRequest(const Catalogue& catalogue, const MediaLibrary& media, std::string_view id,
                             std::string_view v, std::string_view v1, const std::string& base) {
    // A minus sign is a number all the same (an index before the first one).
    auto negative = [](std::string_view s) { return s.size() > 1 && s[0] == '-' && isDigits(s.substr(1)); };
    const auto film = parseIndex(id);
    const auto source = parseIndex(v);
    const auto episode = parseIndex(v1);
    if ((!film && !negative(id)) || (!source && !negative(v)) || (!episode && !negative(v1)))
        return {400, "bad request"};
    const Series* series = film ? catalogue.findSeries(*film) : nullptr;
    if (!series || !source || !episode || *source >= static_cast<int>(series->sources.size())) return {200, "1"};
    const Source& line = series->sources[static_cast<size_t>(*source)];
    if (*episode >= static_cast<int>(line.episodes.size())) return {200, "1"};
    const Episode& ep = line.episodes[static_cast<size_t>(*episode)];
    const auto address = playAddress(*series, ep, media, base);
    if (!address) return {200, "0"};
    return {200, ep.name + "$" + *address + "$" + series->kind};
}

std::string playRequestLink(const Series& series, int source, int episode) {
    return "zuvovod://" + std::to_string(series.id) + "-" + std::to_string(source) + "-" + std::to_string(episode) +
           "-" + codec::jsEscape(series.title);
}

std::string episodeListLink(const Series& series, int source, int episode, const std::string& address) {
    const std::string& name =
        series.sources.at(static_cast<size_t>(source)).episodes.at(static_cast<size_t>(episode)).name;
    return "zvqvod://" + series.kind + "&&&" + codec::jsEscape(address) + "&&&" + codec::jsEscape(series.title) +
           "&&&" + codec::jsEscape(name) + "&&&" + std::to_string(series.id) + "&&&" + std::to_string(source) + "&&&" +
           std::to_string(episode) + "&&&n&&&1";
}

std::string episodeElementId(int source, int episode) { return "c" + std::to_string(source) + std::to_string(episode); }

std::optional<EpisodeListQuery> parseEpisodeListQuery(std::string_view rawQuery) {
    const auto parts = split(rawQuery, "-");
    if (parts.size() < 3) return std::nullopt;
    EpisodeListQuery q;
    const auto id = parseIndex(parts[0]);
    if (!id) return std::nullopt;
    q.id = *id;
    // Like the client, a field that is not a number counts as 0.
    q.source = parseIndex(parts[1]).value_or(0);
    q.episode = parseIndex(parts[2]).value_or(0);
    if (parts.size() >= 5 && isDigits(parts.back()) && parts.back().size() <= 12) q.startKey = parts.back();
    return q;
}

std::optional<WebPlayerQuery> parseWebPlayerQuery(std::string_view rawQuery) {
    const size_t at = rawQuery.find("$$$");
    if (at == std::string_view::npos) return std::nullopt;
    WebPlayerQuery q;
    q.kind = codec::jsUnescape(rawQuery.substr(0, at));
    std::string address = codec::jsUnescape(rawQuery.substr(at + 3));
    // A URL class that does not know "%uXXXX" writes its "%" as "%25"; one more
    // round restores what the page wrote.
    if (address.find("%u") != std::string::npos || address.find("%3A") != std::string::npos ||
        address.find("%3a") != std::string::npos)
        address = codec::jsUnescape(address);
    auto startsWith = [&address](std::string_view prefix) { return address.rfind(prefix, 0) == 0; };
    if (!startsWith("http://") && !startsWith("https://")) return std::nullopt;
    for (const char c : address)
        if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
    q.address = std::move(address);
    return q;
}

}  // namespace qarvel::service
