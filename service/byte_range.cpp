#include "service/byte_range.h"

#include <charconv>
#include <optional>

namespace qarvel::service {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::optional<std::uint64_t> number(std::string_view s) {
    if (s.empty()) return std::nullopt;
    std::uint64_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

}  // namespace

ByteRange resolveByteRange(std::string_view header, std::uint64_t size) {
    ByteRange whole;
    header = trim(header);
    constexpr std::string_view kUnit = "bytes=";
    if (header.size() < kUnit.size()) return whole;
    for (size_t i = 0; i < kUnit.size(); ++i)
        if ((header[i] | 0x20) != (kUnit[i] | 0x20) && header[i] != kUnit[i]) return whole;
    const std::string_view rangeSet = trim(header.substr(kUnit.size()));
    if (rangeSet.find(',') != std::string_view::npos) return whole;
    const size_t dash = rangeSet.find('-');
    if (dash == std::string_view::npos) return whole;
    const std::string_view from = trim(rangeSet.substr(0, dash));
    const std::string_view to = trim(rangeSet.substr(dash + 1));

    ByteRange r;
    r.kind = ByteRange::Kind::Part;
    if (from.empty()) {
        // Suffix form: the last n bytes.
        const auto n = number(to);
        if (!n) return whole;
        if (*n == 0 || size == 0) return {ByteRange::Kind::Unsatisfiable, 0, 0};
        r.first = *n >= size ? 0 : size - *n;
        r.last = size - 1;
        return r;
    }
    const auto first = number(from);
    if (!first) return whole;
    std::uint64_t last = size == 0 ? 0 : size - 1;
    if (!to.empty()) {
        const auto l = number(to);
        if (!l || *l < *first) return whole;
        if (*l < last) last = *l;
    }
    if (*first >= size) return {ByteRange::Kind::Unsatisfiable, 0, 0};
    r.first = *first;
    r.last = last;
    return r;
}

}  // namespace qarvel::service
