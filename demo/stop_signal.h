#pragma once
// Lets request handlers that wait (delays, hangs) end as soon as the server
// stops, so that stopping never waits for them.
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace velmora::demo {

class StopSignal {
  public:
    void stop() {
        {
            std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
    }
    bool stopped() const {
        std::lock_guard lock(mutex_);
        return stopped_;
    }
    // Waits for `duration`; false when the stop came first.
    bool waitFor(std::chrono::milliseconds duration) {
        std::unique_lock lock(mutex_);
        return !changed_.wait_for(lock, duration, [this] { return stopped_; });
    }
    void waitUntilStopped() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopped_; });
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool stopped_ = false;
};

}  // namespace velmora::demo
