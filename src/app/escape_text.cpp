#include "app/escape_text.h"

namespace qarvel {
namespace {

bool keptAsIs(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')) return true;
    switch (c) {
    case u'@': case u'*': case u'_': case u'+': case u'-': case u'.': case u'/':
        return true;
    default:
        return false;
    }
}

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}

// Value of count hex digits at text[pos...], or -1 when one of them is not hex.
int hexRun(const QString& text, qsizetype pos, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const int digit = hexValue(text[pos + i]);
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

}  // namespace

QString EscapeText(const QString& text) {
    static const char kHex[] = "0123456789ABCDEF";
    QString out;
    out.reserve(text.size() * 3);
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (keptAsIs(c)) {
            out += ch;
        } else if (c < 256) {
            out += u'%';
            out += QLatin1Char(kHex[c >> 4]);
            out += QLatin1Char(kHex[c & 0xF]);
        } else {
            out += QLatin1String("%u");
            for (int shift = 12; shift >= 0; shift -= 4) out += QLatin1Char(kHex[(c >> shift) & 0xF]);
        }
    }
    return out;
}

QString UnescapeText(const QString& text) {
    QString out;
    out.reserve(text.size());
    const qsizetype length = text.size();
    for (qsizetype k = 0; k < length; ++k) {
        const QChar c = text[k];
        if (c == u'%') {
            if (k + 6 <= length && text[k + 1] == u'u') {
                const int value = hexRun(text, k + 2, 4);
                if (value >= 0) {
                    out += QChar(char16_t(value));
                    k += 5;
                    continue;
                }
            }
            if (k + 3 <= length) {
                const int value = hexRun(text, k + 1, 2);
                if (value >= 0) {
                    out += QChar(char16_t(value));
                    k += 2;
                    continue;
                }
            }
        }
        out += c;
    }
    return out;
}

}  // namespace qarvel
