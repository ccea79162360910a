// The open-file dialog's filter turned into Qt's form, from arbitrary text:
// every entry it makes has a name and a parenthesised list of patterns.
#include "fuzz_text_support.h"
#include "platform/user_dialogs.h"

using namespace qarvel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString filter = textOf(data, size);
    const QString qt = qarvel::platform::qtFileFilter(filter);
    if (qt.isEmpty()) return 0;
    for (const QString& entry : qt.split(QStringLiteral(";;"))) {
        require(entry.endsWith(u')') && entry.contains(QStringLiteral(" (")));
    }
    return 0;
}
