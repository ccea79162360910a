#include "app/command_line.h"

#include <QUrl>

namespace qarvel {

QString usageText() {
    return QStringLiteral(
        "Usage: qarvel [options] [file-or-address]\n"
        "\n"
        "  --home DIR        program folder for settings, records and caches\n"
        "                    (default: the executable's folder; also QARVEL_HOME)\n"
        "  --service URL     service base address, e.g. http://host:port/box/\n"
        "  --demo            start the built-in demo service and use it\n"
        "  --screenshot FILE save a picture of the window once its pages loaded\n"
        "  --quit-after MS   leave after MS milliseconds\n"
        "  --help            show this text\n"
        "  --version         show the version\n");
}

CommandLine parseCommandLine(const QStringList& args, const QString& environmentHome) {
    CommandLine cl;
    cl.home = environmentHome;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (optionsEnded || !a.startsWith(QLatin1String("--"))) {
            if (!cl.playTarget.isEmpty()) {
                cl.error = QStringLiteral("only one file or address can be given (got \"%1\" and \"%2\")")
                               .arg(cl.playTarget, a);
                return cl;
            }
            if (a.isEmpty()) continue;
            cl.playTarget = a;
            continue;
        }
        if (a == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        // --name=value and --name value are both accepted.
        QString name = a;
        QString value;
        bool inlineValue = false;
        if (const qsizetype eq = a.indexOf(u'='); eq > 0) {
            name = a.left(eq);
            value = a.mid(eq + 1);
            inlineValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (inlineValue) return true;
            if (i + 1 >= args.size()) {
                cl.error = QStringLiteral("option %1 needs a value").arg(name);
                return false;
            }
            value = args[++i];
            return true;
        };
        if (name == QLatin1String("--help")) {
            cl.help = true;
        } else if (name == QLatin1String("--version")) {
            cl.version = true;
        } else if (name == QLatin1String("--demo")) {
            cl.demo = true;
        } else if (name == QLatin1String("--home")) {
            if (!takeValue()) return cl;
            if (value.isEmpty()) {
                cl.error = QStringLiteral("--home needs a folder");
                return cl;
            }
            cl.home = value;
        } else if (name == QLatin1String("--service")) {
            if (!takeValue()) return cl;
            const QUrl url(value, QUrl::StrictMode);
            const QString scheme = url.scheme().toLower();
            if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
                url.host().isEmpty()) {
                cl.error = QStringLiteral("--service needs an http:// or https:// address, got \"%1\"").arg(value);
                return cl;
            }
            // Every service resource is the base followed by a relative path.
            cl.service = value.endsWith(u'/') ? value : value + u'/';
        } else if (name == QLatin1String("--screenshot")) {
            if (!takeValue()) return cl;
            cl.screenshot = value;
        } else if (name == QLatin1String("--quit-after")) {
            if (!takeValue()) return cl;
            bool ok = false;
            const int ms = value.toInt(&ok);
            if (!ok || ms <= 0) {
                cl.error =
                    QStringLiteral("--quit-after needs a positive number of milliseconds, got \"%1\"").arg(value);
                return cl;
            }
            cl.quitAfterMs = ms;
        } else {
            cl.error = QStringLiteral("unknown option %1").arg(name);
            return cl;
        }
    }
    if (cl.demo && !cl.service.isEmpty()) cl.error = QStringLiteral("--demo and --service cannot be used together");
    return cl;
}

}  // namespace qarvel
