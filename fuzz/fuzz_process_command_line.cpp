// The --folder argument from an arbitrary /proc command line: what comes back
// is the text of one argument (or of its part after "="): no NUL, no longer
// than the input.
#include "fuzz_text_support.h"
#include "platform/process_finder.h"

using namespace qarvel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString folder = qarvel::platform::folderArgument(bytes);
    if (folder.isEmpty()) return 0;
    require(bytes.contains("--folder"));
    require(!folder.contains(QChar(0)));
    require(folder.size() <= bytes.size());
    return 0;
}
