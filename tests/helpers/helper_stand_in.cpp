// Stands in for a helper program in the process tests: copied under a
// helper's name, it runs until it is ended. "--stubborn" ignores SIGTERM, so
// only the kill after the grace time ends it. It ends by itself after two
// minutes, so a failed test never leaves it behind.
#include <csignal>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--stubborn") == 0) std::signal(SIGTERM, SIG_IGN);
    // Ready once its signals are set: a SIGTERM before that would still end it.
    if (write(STDOUT_FILENO, "ready\n", 6) != 6) return 1;
    alarm(120);
    for (;;) pause();
}
