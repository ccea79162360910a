#pragma once
// JavaScript escape and unescape (ECMA-262 Annex B) on UTF-16 text. Titles,
// episode names and play addresses travel escaped inside links and date.dat,
// and must stay byte-compatible with text escaped by script engines.
#include <QString>

namespace qarvel {

// Leaves A-Z a-z 0-9 @*_+-./ as they are; other code units below 256 become
// %XX, the rest %uXXXX (upper-case hex). Surrogates are escaped one by one.
QString EscapeText(const QString& text);

// Turns %uXXXX and %XX back into code units; a "%" that does not start a
// complete sequence stays as it is.
QString UnescapeText(const QString& text);

}  // namespace qarvel
