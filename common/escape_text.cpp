#include "common/escape_text.h"

#include "common/js_escape.h"

namespace qarvel {

QString EscapeText(const QString& text) {
    return QString::fromStdU16String(
        codec::escapeUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()))));
}

QString UnescapeText(const QString& text) {
    return QString::fromStdU16String(codec::unescapeUtf16(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()))));
}

}  // namespace qarvel
