#include "service/request_fields.h"

namespace qarvel::service {

std::string percentDecode(std::string_view s) {
    auto hex = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
            out += static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::optional<std::string> queryField(std::string_view query, std::string_view name) {
    size_t start = 0;
    while (start <= query.size()) {
        size_t end = query.find('&', start);
        if (end == std::string_view::npos) end = query.size();
        const std::string_view item = query.substr(start, end - start);
        if (item.size() > name.size() && item.substr(0, name.size()) == name && item[name.size()] == '=')
            return percentDecode(item.substr(name.size() + 1));
        start = end + 1;
    }
    return std::nullopt;
}

bool hasUnsafeSegment(std::string_view path) {
    if (path.find('\\') != std::string_view::npos || path.find('\0') != std::string_view::npos) return true;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view segment = path.substr(start, end - start);
        if (segment == ".." || segment == ".") return true;
        start = end + 1;
    }
    return false;
}

bool isLowerHex40(std::string_view s) {
    if (s.size() != 40) return false;
    for (const char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

}  // namespace qarvel::service
