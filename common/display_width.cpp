#include "common/display_width.h"

#include "common/gbk.h"

namespace qarvel {

QString CutToWidth(const QString& text, int width) {
    // width / 2 is a true division (61 / 2 is 30.5), hence 2 x length.
    if (2 * text.size() <= qsizetype(width)) return text;
    qsizetype used = 0;
    qsizetype pos = 0;
    while (pos < text.size()) {
        char32_t ch = text[pos].unicode();
        qsizetype units = 1;
        if (text[pos].isHighSurrogate() && pos + 1 < text.size() && text[pos + 1].isLowSurrogate()) {
            ch = QChar::surrogateToUcs4(text[pos], text[pos + 1]);
            units = 2;
        }
        const int cost = codec::isGbkDoubleByte(ch) ? 2 : 1;
        if (used + cost > width) break;
        used += cost;
        pos += units;
    }
    return text.left(pos);
}

}  // namespace qarvel
