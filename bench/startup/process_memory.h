#pragma once
// Memory of a process and all its descendants, as the kernel accounts it:
// PSS shares each page among the processes that map it, so the browser's
// shared pages are not counted once per process as RSS would.
#include <sys/types.h>

namespace qarvel::bench {

struct TreeMemory {
    long long pssKiB = 0;
    long long rssKiB = 0;
    int processes = 0;
};

TreeMemory treeMemory(pid_t root);

// Milliseconds since this process was started by the kernel.
double msSinceProcessStart();

}  // namespace qarvel::bench
