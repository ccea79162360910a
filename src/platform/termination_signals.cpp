#include "platform/termination_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace qarvel::platform {

namespace {

int wakeFds[2] = {-1, -1};
std::function<void()> ending;

// Only async-signal-safe work here: one byte to the event loop.
void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeFds[0], &byte, 1);
}

}  // namespace

bool quitOnTerminationSignals(std::function<void()> onEnding) {
    ending = std::move(onEnding);
    if (wakeFds[0] >= 0) return true;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wakeFds) != 0) return false;
    auto* notifier = new QSocketNotifier(wakeFds[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char buffer[16];
        while (::read(wakeFds[1], buffer, sizeof buffer) > 0) {}
        if (ending) {
            ending();
        } else {
            QCoreApplication::quit();
        }
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &action, nullptr);
    return true;
}

}  // namespace qarvel::platform
