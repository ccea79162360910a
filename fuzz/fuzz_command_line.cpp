// The client's command line from arbitrary words: it must give either an
// error or a usable result, never both and never a crash.
#include "app/command_line.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Words are separated by NUL bytes, as they are in a process's arguments.
    QStringList args;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QByteArray& word : bytes.split('\0')) args << QString::fromUtf8(word);

    const qarvel::CommandLine cl = qarvel::parseCommandLine(args, QStringLiteral("/env"));
    if (!cl.error.isEmpty()) return 0;
    if (cl.home.isEmpty()) std::abort();  // the environment's folder or a given one
    if (cl.quitAfterMs < 0) std::abort();
    if (cl.demo && !cl.service.isEmpty()) std::abort();
    if (!cl.service.isEmpty() && !cl.service.endsWith(u'/')) std::abort();
    return 0;
}
