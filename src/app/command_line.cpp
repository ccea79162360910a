#include "app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QUrl>

namespace qarvel {

QString usageText() {
    return QStringLiteral(
        "Usage: qarvel [options] [file-or-address]\n"
        "\n"
        "  --home DIR        program folder for settings, records and caches\n"
        "                    (default: the executable's folder when it is writable,\n"
        "                    else $XDG_DATA_HOME/qarvel; also QARVEL_HOME)\n"
        "  --service URL     service base address, e.g. http://host:port/box/\n"
        "  --demo            start the built-in demo service and use it\n"
        "  --screenshot FILE save a picture of the window once its pages loaded\n"
        "  --quit-after MS   leave after MS milliseconds\n"
        "  --help            show this text\n"
        "  --version         show the version\n");
}

bool isAcceptableTarget(QStringView text) {
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control) return false;
    return true;
}

QString visibleText(QStringView text) {
    QString out;
    for (const QChar c : text) {
        // Control characters all lie below U+00A0: two digits name each.
        out += c.category() == QChar::Other_Control ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                                                    : QString(c);
    }
    return out;
}

QString absoluteTarget(const QString& target, const QString& workingFolder) {
    static const QRegularExpression address(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    // Not QDir's idea of absolute: to it ":name" is a resource, to a shell a file.
    if (target.isEmpty() || target.startsWith(u'/') || address.match(target).hasMatch()) return target;
    return QDir::cleanPath(workingFolder + u'/' + target);
}

namespace {

// What a path or address may not hold, said the same way for each.
QString refusedText(const QString& what, const QString& text) {
    return QStringLiteral("%1 holds a control character: \"%2\"").arg(what, visibleText(text));
}

// The options as QCommandLineParser knows them; a value name marks an option
// that takes a value.
struct Options {
    QCommandLineOption home{QStringLiteral("home"), {}, QStringLiteral("DIR")};
    QCommandLineOption service{QStringLiteral("service"), {}, QStringLiteral("URL")};
    QCommandLineOption screenshot{QStringLiteral("screenshot"), {}, QStringLiteral("FILE")};
    QCommandLineOption quitAfter{QStringLiteral("quit-after"), {}, QStringLiteral("MS")};
    QCommandLineOption demo{QStringLiteral("demo")};
    QCommandLineOption help{QStringLiteral("help")};
    QCommandLineOption version{QStringLiteral("version")};

    QList<QCommandLineOption> all() const { return {home, service, screenshot, quitAfter, demo, help, version}; }
    const QCommandLineOption* find(QStringView name) const {
        for (const QCommandLineOption* o : {&home, &service, &screenshot, &quitAfter, &demo, &help, &version})
            if (o->names().constFirst() == name) return o;
        return nullptr;
    }
};

// What the parser would read differently from this program's rules is settled
// here first: only "--" words are options (a "-x" is a file name), a switch
// given "=value" keeps the switch, and a missing value names its option. The
// options go to the parser in their order, the files and addresses after "--".
struct Arranged {
    QStringList forParser;
    QStringList targets;
    QString error;
};

Arranged arrange(const Options& options, const QStringList& args) {
    Arranged out;
    out.forParser << QStringLiteral("qarvel");
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (optionsEnded || !a.startsWith(QLatin1String("--"))) {
            out.targets << a;
        } else if (a == QLatin1String("--")) {
            optionsEnded = true;
        } else {
            const qsizetype eq = a.indexOf(u'=');
            const QString name = eq < 0 ? a : a.left(eq);
            const QCommandLineOption* option = options.find(QStringView(name).mid(2));
            const bool takesValue = option && !option->valueName().isEmpty();
            out.forParser << (option && !takesValue ? name : a);
            if (takesValue && eq < 0) {
                if (i + 1 >= args.size()) {
                    out.error = QStringLiteral("option %1 needs a value").arg(name);
                    return out;
                }
                out.forParser << args[++i];
            }
        }
    }
    out.forParser << QStringLiteral("--") << out.targets;
    return out;
}

// Checks one option's value and keeps it; an empty return means it was fine.
QString take(const Options& options, const QString& name, const QString& value, CommandLine& cl) {
    if (!isAcceptableTarget(value)) return refusedText(QStringLiteral("--") + name, value);
    if (name == options.help.names().constFirst()) {
        cl.help = true;
    } else if (name == options.version.names().constFirst()) {
        cl.version = true;
    } else if (name == options.demo.names().constFirst()) {
        cl.demo = true;
    } else if (name == options.home.names().constFirst()) {
        if (value.isEmpty()) return QStringLiteral("--home needs a folder");
        cl.home = value;
    } else if (name == options.service.names().constFirst()) {
        const QUrl url(value, QUrl::StrictMode);
        const QString scheme = url.scheme().toLower();
        if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
            url.host().isEmpty()) {
            return QStringLiteral("--service needs an http:// or https:// address, got \"%1\"").arg(value);
        }
        // Every service resource is the base followed by a relative path.
        cl.service = value.endsWith(u'/') ? value : value + u'/';
    } else if (name == options.screenshot.names().constFirst()) {
        cl.screenshot = value;
    } else if (name == options.quitAfter.names().constFirst()) {
        bool ok = false;
        const int ms = value.toInt(&ok);
        if (!ok || ms <= 0)
            return QStringLiteral("--quit-after needs a positive number of milliseconds, got \"%1\"").arg(value);
        cl.quitAfterMs = ms;
    }
    return {};
}

}  // namespace

CommandLine parseCommandLine(const QStringList& args, const QString& environmentHome) {
    CommandLine cl;
    if (!isAcceptableTarget(environmentHome)) {
        cl.error = refusedText(QStringLiteral("QARVEL_HOME"), environmentHome);
        return cl;
    }
    cl.home = environmentHome;
    const Options options;
    const Arranged arranged = arrange(options, args);
    if (!arranged.error.isEmpty()) {
        cl.error = arranged.error;
        return cl;
    }
    QCommandLineParser parser;
    parser.addOptions(options.all());
    if (!parser.parse(arranged.forParser)) {
        const QStringList unknown = parser.unknownOptionNames();
        cl.error = unknown.isEmpty() ? parser.errorText() : QStringLiteral("unknown option --%1").arg(unknown.first());
        return cl;
    }
    // In the order given, so that the first bad value is the one named; a
    // repeated option keeps its last value.
    QHash<QString, qsizetype> seen;
    for (const QString& name : parser.optionNames()) {
        const QStringList values = parser.values(name);
        const qsizetype n = seen[name]++;
        cl.error = take(options, name, n < values.size() ? values[n] : QString(), cl);
        if (!cl.error.isEmpty()) return cl;
    }
    for (const QString& target : parser.positionalArguments()) {
        if (target.isEmpty()) continue;
        if (!isAcceptableTarget(target)) {
            cl.error = refusedText(QStringLiteral("the file or address"), target);
            return cl;
        }
        if (cl.playTarget.isEmpty()) {
            cl.playTarget = target;
        } else {
            cl.leftTargets << target;
        }
    }
    if (cl.demo && !cl.service.isEmpty()) cl.error = QStringLiteral("--demo and --service cannot be used together");
    return cl;
}

}  // namespace qarvel
