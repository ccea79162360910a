#pragma once
// Calls handed to the thread of an object through that thread's event loop, in
// order with the thread's other events, from any thread. A call is handed over
// under a standard mutex, which the thread sanitizer sees; the lock of Qt's own
// event queue it does not (Qt is not built with it).
#include <QObject>
#include <deque>
#include <functional>
#include <mutex>

namespace qarvel::engine {

class CallQueue : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void post(std::function<void()> call);
    // Runs call on this object's thread and returns once it has; at once when
    // called there. Like any blocking hand-over, never while that thread waits
    // for the caller.
    void runAndWait(const std::function<void()>& call);

private:
    Q_INVOKABLE void runNext();

    std::mutex mutex_;
    std::deque<std::function<void()>> calls_;
};

}  // namespace qarvel::engine
