#pragma once
// The ECMAScript escape and unescape functions (ECMA-262 Annex B) on UTF-8 text.
// Titles, episode names and play addresses travel inside the program's links in
// this form, so the pages must write exactly what a browser's escape() writes.
#include <string>
#include <string_view>

namespace qarvel::service {

// Works on UTF-16 code units like the browser does: characters below 256 that are
// not in the unescaped set become "%XX", all others "%uXXXX" (upper-case hex).
std::string jsEscape(std::string_view utf8);
// Reverses jsEscape. A "%" not followed by a valid escape stays as it is; unpaired
// surrogates become U+FFFD in the UTF-8 result.
std::string jsUnescape(std::string_view text);

}  // namespace qarvel::service
