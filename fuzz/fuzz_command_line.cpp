// The client's command line on arbitrary arguments: it either parses or says
// why not, never both, and the options it reports are the ones given; no
// path or address it lets through holds a control character, and each is
// named in full once made absolute.
#include "app/command_line.h"
#include "fuzz_text_support.h"

#include <QRegularExpression>
#include <algorithm>

using namespace qarvel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QStringList args = partsOf(data, size);
    const QString home = args.takeFirst();
    const qarvel::CommandLine cl = qarvel::parseCommandLine(args, home);
    // What a message shows of any text is free of control characters.
    for (const QString& a : args) require(qarvel::isAcceptableTarget(qarvel::visibleText(a)));
    if (!cl.error.isEmpty()) {
        require(
            qarvel::isAcceptableTarget(cl.error) || !qarvel::isAcceptableTarget(home) ||
            !std::all_of(args.cbegin(), args.cend(), [](const QString& a) { return qarvel::isAcceptableTarget(a); }));
        return 0;
    }
    for (const QString& text : {cl.home, cl.service, cl.screenshot, cl.playTarget})
        require(qarvel::isAcceptableTarget(text));
    for (const QString& left : cl.leftTargets) require(qarvel::isAcceptableTarget(left));
    const QString full = qarvel::absoluteTarget(cl.playTarget, QStringLiteral("/work"));
    require(full.isEmpty() || full.startsWith(u'/') || full.contains(QStringLiteral("://")));
    require(!cl.playTarget.startsWith(u'/') || full == cl.playTarget);
    require(cl.quitAfterMs >= 0);
    // A play target always comes from the arguments, as given.
    require(cl.playTarget.isEmpty() || args.contains(cl.playTarget));
    // Files left after the first come after one that plays, each as given.
    require(cl.leftTargets.isEmpty() || !cl.playTarget.isEmpty());
    for (const QString& left : cl.leftTargets) require(!left.isEmpty() && args.contains(left));
    static const QRegularExpression demoOption(QStringLiteral("^--demo(=|$)"));
    require(!cl.demo || !args.filter(demoOption).isEmpty());
    return 0;
}
