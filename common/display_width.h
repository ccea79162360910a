#pragma once
// Cutting text to a display width for labels and list pages: a character that
// takes two bytes in GBK is drawn twice as wide as an ASCII one.
#include <QString>

namespace qarvel {

// The text itself when it has at most width/2 characters; otherwise the
// longest prefix whose width (2 per GBK double-byte character, 1 for any
// other) is at most width. No ellipsis; a surrogate pair is never split.
QString CutToWidth(const QString& text, int width);

}  // namespace qarvel
