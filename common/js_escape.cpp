#include "common/js_escape.h"

#include "common/utf8.h"

namespace qarvel::codec {
namespace {

std::u16string toUtf16(std::string_view utf8) {
    std::u16string out;
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

std::string fromUtf16(std::u16string_view units) {
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
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'@' || c == u'*' ||
           c == u'_' || c == u'+' || c == u'-' || c == u'.' || c == u'/';
}

int hexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// The value of n hex digits at text[at]; -1 when one is missing or not hex.
long hexAt(std::u16string_view text, size_t at, size_t n) {
    if (at + n > text.size()) return -1;
    long v = 0;
    for (size_t k = 0; k < n; ++k) {
        const int d = hexValue(text[at + k]);
        if (d < 0) return -1;
        v = v * 16 + d;
    }
    return v;
}

}  // namespace

std::u16string escapeUtf16(std::u16string_view text) {
    static const char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string out;
    out.reserve(text.size() * 3);
    for (const char16_t c : text) {
        if (keptAsIs(c)) {
            out += c;
        } else if (c < 256) {
            out += u'%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += u"%u";
            for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 15];
        }
    }
    return out;
}

std::u16string unescapeUtf16(std::u16string_view in) {
    std::u16string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == u'%') {
            const bool wide = i + 1 < in.size() && in[i + 1] == u'u';
            const long v = wide ? hexAt(in, i + 2, 4) : hexAt(in, i + 1, 2);
            if (v >= 0) {
                out.push_back(static_cast<char16_t>(v));
                i += wide ? 5 : 2;
                continue;
            }
        }
        out.push_back(in[i]);
    }
    return out;
}

std::string jsEscape(std::string_view utf8) { return fromUtf16(escapeUtf16(toUtf16(utf8))); }

std::string jsUnescape(std::string_view text) { return fromUtf16(unescapeUtf16(toUtf16(text))); }

}  // namespace qarvel::codec
