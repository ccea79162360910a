#pragma once
// Keeps the heap that a film's demuxer and decoders free going back to the
// system.
//
// glibc gives threads arenas of their own (up to eight per core). The threads
// the player starts for each film allocate from them, and when the film is
// unloaded what they freed stays as the free top of an arena: malloc_trim()
// returns free pages of the main arena only there. Each film landed in another
// arena, so the program grew by about 10 MiB per film until every arena held
// that much.

namespace qarvel::engine {

// Serves every thread from the main arena, whose free memory malloc_trim()
// can return. Only effective before the process starts its threads: the first
// thing main() does.
void useOneHeapArena();

// Returns the free pages of the heap; cheap enough once per film.
void returnFreedMemory();

// How many times returnFreedMemory() ran in this process, for tests.
int freedMemoryReturns();

}  // namespace qarvel::engine
