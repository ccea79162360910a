// Escape and unescape on arbitrary UTF-16 text: unescape must undo escape,
// and escape must give only the characters it promises.
#include "common/escape_text.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data, (size / 2) * 2);

    const QString escaped = qarvel::EscapeText(text);
    for (const QChar c : escaped)
        if (c.unicode() > 0x7F) std::abort();
    if (qarvel::UnescapeText(escaped) != text) std::abort();

    // Arbitrary text, "%" sequences included, must unescape without harm and
    // never grow.
    if (qarvel::UnescapeText(text).size() > text.size()) std::abort();
    return 0;
}
