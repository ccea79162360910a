#include "service/js_escape.h"

#include "service/utf8.h"

#include <vector>

namespace qarvel::service {
namespace {

std::vector<char16_t> toUtf16(std::string_view utf8) {
    std::vector<char16_t> out;
    out.reserve(utf8.size());
    for (char32_t cp : decodeUtf8(utf8)) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string fromUtf16(const std::vector<char16_t>& units) {
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        const bool high = u >= 0xD800 && u <= 0xDBFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(units[i + 1]) - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

bool keptAsIs(char16_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '@' || c == '*' ||
           c == '_' || c == '+' || c == '-' || c == '.' || c == '/';
}

int hexValue(char16_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The value of n hex digits at units[at]; -1 when one is missing or not hex.
long hexAt(const std::vector<char16_t>& units, size_t at, size_t n) {
    if (at + n > units.size()) return -1;
    long v = 0;
    for (size_t k = 0; k < n; ++k) {
        const int d = hexValue(units[at + k]);
        if (d < 0) return -1;
        v = v * 16 + d;
    }
    return v;
}

}  // namespace

std::string jsEscape(std::string_view utf8) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string out;
    for (const char16_t c : toUtf16(utf8)) {
        if (keptAsIs(c)) {
            out += static_cast<char>(c);
        } else if (c < 256) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += "%u";
            for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 15];
        }
    }
    return out;
}

std::string jsUnescape(std::string_view text) {
    const std::vector<char16_t> in = toUtf16(text);
    std::vector<char16_t> out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '%') {
            const bool wide = i + 1 < in.size() && in[i + 1] == 'u';
            const long v = wide ? hexAt(in, i + 2, 4) : hexAt(in, i + 1, 2);
            if (v >= 0) {
                out.push_back(static_cast<char16_t>(v));
                i += wide ? 5 : 2;
                continue;
            }
        }
        out.push_back(in[i]);
    }
    return fromUtf16(out);
}

}  // namespace qarvel::service
