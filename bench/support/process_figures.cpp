#include "bench/support/process_figures.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace qarvel::bench {

namespace {

QByteArray readProc(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// Fields of /proc/PID/stat after the command name, which may hold blanks:
// index 0 is the line's field 3.
QList<QByteArray> statFields(const QByteArray& stat) {
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0) return {};
    return stat.mid(close + 2).split(' ');
}

QList<QByteArray> statFields(pid_t pid) { return statFields(readProc(QStringLiteral("/proc/%1/stat").arg(pid))); }

// The process and all its descendants that are alive now.
QList<pid_t> processTree(pid_t root) {
    QMultiMap<pid_t, pid_t> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& e : entries) {
        bool ok = false;
        const pid_t pid = e.toInt(&ok);
        if (!ok) continue;
        const QList<QByteArray> f = statFields(pid);
        if (f.size() > 1) children.insert(f[1].toInt(), pid);  // field 4: parent
    }
    QList<pid_t> tree;
    QList<pid_t> todo{root};
    while (!todo.isEmpty()) {
        const pid_t pid = todo.takeLast();
        tree += pid;
        todo += children.values(pid);
    }
    return tree;
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
    TreeMemory total;
    for (const pid_t pid : processTree(root)) {
        const QByteArray rollup = readProc(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (rollup.isEmpty()) continue;
        total.pssKiB += kib(rollup, "Pss:");
        total.rssKiB += kib(rollup, "Rss:");
        ++total.processes;
    }
    return total;
}

ProcessFigures processFigures(pid_t pid) {
    ProcessFigures figures;
    const QByteArray rollup = readProc(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    figures.pssKiB = kib(rollup, "Pss:");
    figures.rssKiB = kib(rollup, "Rss:");
    figures.privateKiB = kib(rollup, "Private_Clean:") + kib(rollup, "Private_Dirty:");
    figures.descriptors = int(QDir(QStringLiteral("/proc/%1/fd").arg(pid))
                                  .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                                  .size());
    const QList<QByteArray> f = statFields(pid);
    if (f.size() > 17) figures.threads = f[17].toInt();  // field 20: number of threads
    return figures;
}

double msSinceProcessStart() {
    bool given = false;
    const qint64 launchedNs = qEnvironmentVariable("QARVEL_BENCH_LAUNCHED_NS").toLongLong(&given);
    if (given && launchedNs > 0) {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        return (double(now.tv_sec) * 1e9 + double(now.tv_nsec) - double(launchedNs)) / 1e6;
    }
    const QList<QByteArray> f = statFields(readProc(QStringLiteral("/proc/self/stat")));
    const QList<QByteArray> uptime = readProc(QStringLiteral("/proc/uptime")).split(' ');
    if (f.size() < 20 || uptime.isEmpty()) return -1;
    const double startTicks = f[19].toDouble();  // field 22: start time in clock ticks after boot
    return (uptime[0].toDouble() - startTicks / double(::sysconf(_SC_CLK_TCK))) * 1000.0;
}

std::optional<CpuTicks> cpuTicks() {
    // "cpu user nice system idle iowait irq softirq steal ..."
    const QList<QByteArray> machine =
        readProc(QStringLiteral("/proc/stat")).split('\n').value(0).simplified().split(' ');
    if (machine.size() < 9 || machine[0] != "cpu") return std::nullopt;
    CpuTicks ticks;
    for (const int i : {1, 2, 3, 6, 7, 8}) ticks.machine += machine[i].toLongLong();
    bool self = false;
    for (const pid_t pid : processTree(::getpid())) {
        const QList<QByteArray> f = statFields(pid);
        // utime, stime, cutime, cstime: fields 14..17. A child reaped since the
        // tree was listed has moved its time into its parent's.
        if (f.size() < 15) continue;
        for (int i = 11; i < 15; ++i) ticks.own += f[i].toLongLong();
        self = self || pid == ::getpid();
    }
    if (!self) return std::nullopt;
    return ticks;
}

double treeCpuSeconds(pid_t root, bool rootAlone) {
    long long ticks = 0;
    for (const pid_t pid : rootAlone ? QList<pid_t>{root} : processTree(root)) {
        const QList<QByteArray> f = statFields(pid);
        if (f.size() >= 13) ticks += f[11].toLongLong() + f[12].toLongLong();  // utime, stime
    }
    return double(ticks) / double(::sysconf(_SC_CLK_TCK));
}

MachineLoad::MachineLoad() : before_(cpuTicks()) { wall_.start(); }

void MachineLoad::report() const {
    const auto after = cpuTicks();
    const double seconds = wall_.nsecsElapsed() / 1e9;
    if (!before_ || !after || seconds <= 0) return;
    const double hz = static_cast<double>(::sysconf(_SC_CLK_TCK));
    const long long others = (after->machine - before_->machine) - (after->own - before_->own);
    const double busy = std::max(0.0, others / hz / seconds);
    const long cores = ::sysconf(_SC_NPROCESSORS_ONLN);
    std::printf("other processes kept %.2f of %ld cores busy during the run%s\n", busy, cores,
                busy >= 0.25 ? ": the times are not comparable with a quiet machine's" : "");
}

}  // namespace qarvel::bench
