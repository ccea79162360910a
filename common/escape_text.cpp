#include "common/escape_text.h"

#include "common/js_escape.h"

namespace qarvel {
namespace {

std::u16string_view units(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())};
}

// Copied unit for unit: QString::fromStdU16String reads a leading U+FEFF or
// U+FFFE as a byte-order mark and drops it or swaps every unit after it.
QString fromUnits(const std::u16string& text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

}  // namespace

QString EscapeText(const QString& text) { return fromUnits(codec::escapeUtf16(units(text))); }

QString UnescapeText(const QString& text) { return fromUnits(codec::unescapeUtf16(units(text))); }

}  // namespace qarvel
