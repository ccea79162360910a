// The client's command line on arbitrary arguments: it either parses or says
// why not, never both, and the options it reports are the ones given.
#include "app/command_line.h"
#include "fuzz_text_support.h"

#include <QRegularExpression>

using namespace qarvel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QStringList args = partsOf(data, size);
    const QString home = args.takeFirst();
    const qarvel::CommandLine cl = qarvel::parseCommandLine(args, home);
    if (!cl.error.isEmpty()) return 0;
    require(cl.quitAfterMs >= 0);
    // A play target always comes from the arguments, as given.
    require(cl.playTarget.isEmpty() || args.contains(cl.playTarget));
    // Files left after the first come after one that plays, each as given.
    require(cl.leftTargets.isEmpty() || !cl.playTarget.isEmpty());
    for (const QString& left : cl.leftTargets) require(!left.isEmpty() && args.contains(left));
    require(!cl.demo || !args.filter(QRegularExpression(QStringLiteral("^--demo(=|$)"))).isEmpty());
    return 0;
}
