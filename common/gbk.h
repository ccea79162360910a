#pragma once
// Text on disk and from the service is GBK (code page 936). Characters that GBK
// cannot hold are written in GB18030's four-byte form so nothing is lost; both
// forms read back to the same character.
#include <string>
#include <string_view>

namespace qarvel::codec {

// UTF-8 in, GBK bytes out (GB18030 four-byte form where GBK has no code).
std::string utf8ToGbk(std::string_view utf8);
// GBK or GB18030 bytes in, UTF-8 out. A byte sequence that is not valid GBK
// decodes to U+FFFD for that byte and decoding goes on.
std::string gbkToUtf8(std::string_view gbk);
// True when the character (a Unicode scalar value) takes two bytes in GBK.
bool isGbkDoubleByte(char32_t ch);

}  // namespace qarvel::codec
