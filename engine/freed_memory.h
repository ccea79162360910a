#pragma once
// Keeps what a film's demuxer and decoders free available to the next film.
//
// glibc gives threads heap arenas of their own, up to eight per core. The
// threads the player starts for each film took another arena each time, and
// what they freed when the film was unloaded stayed there as the arena's free
// top, which neither the next film (in another arena) nor malloc_trim() takes
// back: the program grew by about 10 MiB with every episode until all sixteen
// arenas of a two-core machine held that much. With one arena the next film
// reuses it and the program stays the same size.

namespace qarvel::engine {

// Serves every thread from the main arena. Only effective before the process
// starts more than a few threads: the first thing main() does. Threads keep
// their own caches of small blocks, so they seldom wait for each other.
void useOneHeapArena();

}  // namespace qarvel::engine
