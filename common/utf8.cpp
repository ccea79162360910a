#include "common/utf8.h"

namespace qarvel::codec {

std::u32string decodeUtf8(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        size_t need = 0;
        char32_t cp = b0;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            need = 1;
            cp = b0 & 0x1F;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            need = 2;
            cp = b0 & 0x0F;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            need = 3;
            cp = b0 & 0x07;
        } else if (b0 >= 0x80) {
            cp = 0xFFFD;
        }
        bool ok = i + need < s.size();
        for (size_t k = 1; ok && k <= need; ++k) {
            const auto bk = static_cast<unsigned char>(s[i + k]);
            ok = (bk & 0xC0) == 0x80;
            cp = (cp << 6) | (bk & 0x3F);
        }
        if (need > 0) {
            static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
            ok = ok && cp >= kMinimum[need] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
        }
        if (!ok) {
            cp = 0xFFFD;
            need = 0;
        }
        out.push_back(cp);
        i += need + 1;
    }
    return out;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace qarvel::codec
