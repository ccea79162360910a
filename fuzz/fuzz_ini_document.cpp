// The settings format on arbitrary bytes: lookups never fail, a stored value
// reads back, and writing keeps the document readable.
#include "common/ini_document.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    qarvel::IniDocument doc(bytes);
    (void)doc.readString("S_q", "quit", "0");
    (void)doc.readString(QString::fromLatin1(bytes.left(8)), QString::fromLatin1(bytes.mid(8, 8)), "0");

    const QByteArray serialised = doc.toBytes();
    if (qarvel::IniDocument(serialised).toBytes() != serialised) std::abort();

    const QString value = QString::fromLatin1(bytes.right(12)).simplified();
    if (doc.setValue("S_q", "quit", value)) {
        const qarvel::IniDocument reread(doc.toBytes());
        const auto stored = reread.value("s_q", "QUIT");
        if (!stored) std::abort();
        // Enclosing quotes are the only thing a read takes away.
        if (*stored != value && !(value.size() >= 2 && stored->size() == value.size() - 2)) std::abort();
    }
    return 0;
}
