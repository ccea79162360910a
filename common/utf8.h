#pragma once
// UTF-8 decoding and encoding for the page builders and the escape functions.
#include <string>
#include <string_view>

namespace qarvel::codec {

// Code points of UTF-8 text; each byte of a malformed sequence reads as U+FFFD.
std::u32string decodeUtf8(std::string_view text);
void appendUtf8(std::string& out, char32_t codePoint);

}  // namespace qarvel::codec
