// TextBetween on arbitrary text and markers: what it returns is part of the
// text, from the start marker to the end marker in mode 1.
#include "app/system_services.h"
#include "fuzz_text_support.h"

using namespace qarvel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    QStringList parts = partsOf(data + 1, size - 1);
    while (parts.size() < 3) parts << QString();
    const int mode = data[0] % 4;
    const QString found = qarvel::TextBetween(parts[0], parts[1], parts[2], mode);
    if (mode != 1 && mode != 2) require(found.isEmpty());
    if (found.isEmpty()) return 0;
    require(parts[0].contains(found));
    // Mode 1 looks for the end marker from the start marker on, so the two may overlap.
    if (mode == 1) require(parts[0].mid(parts[0].indexOf(parts[1])).startsWith(found) && found.endsWith(parts[2]));
    if (mode == 2) require(parts[0].contains(parts[1] + found + parts[2]));
    return 0;
}
