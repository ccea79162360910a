#include "engine/cache/call_queue.h"

#include <QThread>
#include <condition_variable>

namespace qarvel::engine {

void CallQueue::post(std::function<void()> call) {
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }
    // One event per call keeps the calls in order with the thread's other events.
    QMetaObject::invokeMethod(this, "runNext", Qt::QueuedConnection);
}

void CallQueue::runAndWait(const std::function<void()>& call) {
    if (QThread::currentThread() == thread()) {
        call();
        return;
    }
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    post([&] {
        call();
        std::lock_guard lock(mutex);
        done = true;
        ended.notify_one();
    });
    std::unique_lock lock(mutex);
    ended.wait(lock, [&] { return done; });
}

void CallQueue::runNext() {
    std::function<void()> call;
    {
        std::lock_guard lock(mutex_);
        if (calls_.empty()) return;
        call = std::move(calls_.front());
        calls_.pop_front();
    }
    call();  // may delete this object: nothing of it is used after
}

}  // namespace qarvel::engine
