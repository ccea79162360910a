#pragma once
// Waiting in tests, shared by every test folder: the event loop runs until a
// condition holds or the time is up.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <functional>

namespace qarvel::test {

// Runs the event loop until done() holds or ms pass, checking every pollMs;
// returns done(). A real event loop rather than sleeps between polls: the
// browser engine, the player and network replies all answer through it, and
// sleeping would slow every round trip to a crawl.
// Without an application object (tests of threads alone) it polls with sleeps.
inline bool waitUntil(const std::function<bool()>& done, int ms = 8000, int pollMs = 5) {
    if (done()) return true;
    if (!QCoreApplication::instance()) {
        const QDeadlineTimer deadline(ms);
        while (!done()) {
            if (deadline.hasExpired()) return done();
            QThread::msleep(unsigned(pollMs));
        }
        return true;
    }
    QEventLoop loop;
    QTimer poll;
    // done() may itself wait on the event loop (a page's script answer); the
    // poll must not call it again meanwhile.
    // Once seen to hold, it counts: a page that is shown and then reloaded
    // (a list rebuilt twice) held when it was seen.
    bool checking = false;
    bool held = false;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (checking) return;
        checking = true;
        held = done();
        if (held) loop.quit();
        checking = false;
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    poll.start(pollMs);
    loop.exec();
    return held || done();
}

// Runs the event loop for ms.
inline void runEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace qarvel::test
