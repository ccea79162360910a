#pragma once
// The engine's network thread: an event loop with one network access manager,
// shared by every fetch. Handing work to it never makes the caller wait. Its
// end is the one wait, and a bounded one: a thread still busy when the time is
// up is left to end on its own rather than hang whoever ends it.
#include "engine/cache/call_queue.h"

#include <QList>
#include <functional>

class QNetworkAccessManager;
class QThread;

namespace qarvel::engine {

// Lives on the network thread; fetches reach the network through it, and calls
// reach the thread through its queue.
class NetworkHost : public CallQueue {
    Q_OBJECT
public:
    using CallQueue::CallQueue;
    // Made as the thread starts, on the network thread, the only thread that may use it.
    QNetworkAccessManager* network();

private:
    QNetworkAccessManager* network_ = nullptr;
};

class FetchThread {
public:
    static constexpr int kDefaultEndMs = 5000;

    FetchThread();
    ~FetchThread();  // shutdown({}, kDefaultEndMs)
    FetchThread(const FetchThread&) = delete;
    FetchThread& operator=(const FetchThread&) = delete;

    // Null once shut down.
    NetworkHost* host() const { return host_; }
    // Moves an object of the calling thread (without a parent) to the network thread.
    void adopt(QObject* object);
    // Runs call on the network thread (see CallQueue::post); nothing once shut down.
    void post(std::function<void()> call);
    // Deletes an adopted object on the network thread, after everything already
    // sent to it there.
    void dispose(QObject* object);
    // Deletes the adopted objects, then ends the thread, waiting at most
    // timeoutMs. False when it was still busy: it then ends (and is freed) on its own.
    bool shutdown(const QList<QObject*>& objects, int timeoutMs = kDefaultEndMs);

private:
    QThread* thread_ = nullptr;
    NetworkHost* host_ = nullptr;
};

}  // namespace qarvel::engine
