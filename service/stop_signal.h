#pragma once
// Lets waits inside request handlers (fault delays, throttling) end at once when
// the service stops, so that stopping never waits for a long delay.
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace qarvel::service {

class StopSignal {
public:
    // False when the service stopped during the wait.
    bool waitFor(std::chrono::milliseconds duration) const {
        std::unique_lock lock(mutex_);
        return !cv_.wait_for(lock, duration, [this] { return stopped_; });
    }
    bool stopped() const {
        std::lock_guard lock(mutex_);
        return stopped_;
    }
    void stop() {
        {
            std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        cv_.notify_all();
    }
    void rearm() {
        std::lock_guard lock(mutex_);
        stopped_ = false;
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable cv_;
    bool stopped_ = false;
};

}  // namespace qarvel::service
