#pragma once
// Figures of this process and its descendants as the kernel accounts them:
// memory, CPU time, and the time since start.
#include <QElapsedTimer>
#include <optional>
#include <sys/types.h>

namespace qarvel::bench {

// PSS shares each page among the processes that map it, so the browser's
// shared pages are not counted once per process as RSS would.
struct TreeMemory {
    long long pssKiB = 0;
    long long rssKiB = 0;
    int processes = 0;
};

TreeMemory treeMemory(pid_t root);

// One process alone: its memory, open descriptors and threads.
struct ProcessFigures {
    long long pssKiB = 0;
    long long rssKiB = 0;
    // Its pages no other process maps: PSS moves when the browser starts or
    // ends a process of its own, this does not.
    long long privateKiB = 0;
    int descriptors = 0;
    int threads = 0;
};

ProcessFigures processFigures(pid_t pid);

// Milliseconds since this process was started: to the microsecond when the
// launcher gave its launch time in QARVEL_BENCH_LAUNCHED_NS (the monotonic
// clock, as bench/all does), else from the kernel's start time, which counts
// in clock ticks (10 ms).
double msSinceProcessStart();

// CPU time in clock ticks: busy time of the whole machine, and of this process
// with its descendants (the browser's processes) and its waited-for children
// (command line runs).
struct CpuTicks {
    long long machine = 0;
    long long own = 0;
};

std::optional<CpuTicks> cpuTicks();

// User plus system time, in seconds, of root and its live descendants, or of
// root alone; for comparing one process tree with another in the same run.
double treeCpuSeconds(pid_t root, bool rootAlone = false);

// How busy other processes kept the machine from construction to report():
// the times of a benchmark depend on it more than on most changes (two cores
// shared with builds), so each table says it.
class MachineLoad {
public:
    MachineLoad();
    // Prints "other processes kept X of N cores busy during the run", with a
    // warning when the times are not comparable with a quiet machine's.
    void report() const;

private:
    std::optional<CpuTicks> before_;
    QElapsedTimer wall_;
};

}  // namespace qarvel::bench
