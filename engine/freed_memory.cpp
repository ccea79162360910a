#include "engine/freed_memory.h"

#include <atomic>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace qarvel::engine {

namespace {
std::atomic<int> returns{0};
}

void useOneHeapArena() {
#if defined(__GLIBC__)
    // Threads keep their small-block caches, so they seldom wait for each other.
    ::mallopt(M_ARENA_MAX, 1);
#endif
}

void returnFreedMemory() {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
    ++returns;
}

int freedMemoryReturns() { return returns.load(); }

}  // namespace qarvel::engine
