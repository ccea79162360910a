#include "engine/freed_memory.h"

#include <cstdlib>  // names the C library
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace qarvel::engine {

void useOneHeapArena() {
#if defined(__GLIBC__)
    ::mallopt(M_ARENA_MAX, 1);
#endif
}

}  // namespace qarvel::engine
