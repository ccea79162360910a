#pragma once
// The ECMAScript escape and unescape functions (ECMA-262 Annex B). Titles,
// episode names and play addresses travel escaped inside the program's links
// and date.dat, so both the client and the demo service must write exactly
// what a browser's escape() writes. One implementation on UTF-16 code units,
// with UTF-8 entry points for code without Qt.
#include <string>
#include <string_view>

namespace qarvel::codec {

// Leaves A-Z a-z 0-9 @*_+-./ as they are; other code units below 256 become
// %XX, the rest %uXXXX (upper-case hex). Surrogates are escaped one by one.
std::u16string escapeUtf16(std::u16string_view text);
// Turns %uXXXX and %XX back into code units; a "%" that does not start a
// complete sequence stays as it is.
std::u16string unescapeUtf16(std::u16string_view text);

// The same on UTF-8 text; unpaired surrogates in an unescaped result become U+FFFD.
std::string jsEscape(std::string_view utf8);
std::string jsUnescape(std::string_view text);

}  // namespace qarvel::codec
