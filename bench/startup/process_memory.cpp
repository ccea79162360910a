#include "process_memory.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>
#include <QStringList>
#include <unistd.h>

namespace qarvel::bench {

namespace {

QByteArray readProc(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// Fields of /proc/PID/stat after the command name, which may hold blanks.
QList<QByteArray> statFields(const QByteArray& stat) {
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0) return {};
    return stat.mid(close + 2).split(' ');
}

long long kib(const QByteArray& rollup, const char* key) {
    for (const QByteArray& line : rollup.split('\n')) {
        if (!line.startsWith(key)) continue;
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() >= 2) return parts[1].toLongLong();
    }
    return 0;
}

}  // namespace

TreeMemory treeMemory(pid_t root) {
    QMultiMap<pid_t, pid_t> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& e : entries) {
        bool ok = false;
        const pid_t pid = e.toInt(&ok);
        if (!ok) continue;
        const QList<QByteArray> f = statFields(readProc(QStringLiteral("/proc/%1/stat").arg(pid)));
        if (f.size() > 1) children.insert(f[1].toInt(), pid);  // field 4: parent
    }
    TreeMemory total;
    QList<pid_t> todo{root};
    while (!todo.isEmpty()) {
        const pid_t pid = todo.takeLast();
        const QByteArray rollup = readProc(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (!rollup.isEmpty()) {
            total.pssKiB += kib(rollup, "Pss:");
            total.rssKiB += kib(rollup, "Rss:");
            ++total.processes;
        }
        todo += children.values(pid);
    }
    return total;
}

double msSinceProcessStart() {
    const QList<QByteArray> f = statFields(readProc(QStringLiteral("/proc/self/stat")));
    const QList<QByteArray> uptime = readProc(QStringLiteral("/proc/uptime")).split(' ');
    if (f.size() < 20 || uptime.isEmpty()) return -1;
    const double startTicks = f[19].toDouble();  // field 22: start time in clock ticks after boot
    return (uptime[0].toDouble() - startTicks / double(::sysconf(_SC_CLK_TCK))) * 1000.0;
}

}  // namespace qarvel::bench
