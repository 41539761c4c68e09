#pragma once
// Executor over a plain task queue, served by whichever thread calls run()
// (the CLI's main thread; tests).
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/executor.h"

namespace velmora {

class QueueExecutor : public Executor {
  public:
    // The constructing thread is the main thread.
    QueueExecutor();
    ~QueueExecutor() override;

    void post(std::function<void()> task) override;
    bool postAndWait(std::function<void()> task) override;
    bool onMainThread() const override;

    // Serves tasks until `done()` is true after a task (checked before
    // waiting, too). Returns false if the timeout (0 = none) ran out first.
    bool runUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds timeout = std::chrono::milliseconds(0));
    // Runs every task queued now; returns how many ran.
    int drain();
    // Refuses further tasks and releases every postAndWait caller.
    void close();

  private:
    std::function<void()> take(std::unique_lock<std::mutex>& lock);
    // Before going to sleep on an empty queue, watch it for a moment when
    // tasks have been coming in quick succession (a harvest of nearby sites
    // signals every few hundred microseconds): waking a sleeping thread costs
    // more than the wait. Against distant sites the waits are long and the
    // thread sleeps at once.
    void watchBeforeSleeping();

    std::thread::id mainThread_;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> tasks_;
    std::atomic<bool> hasTasks_{false};
    std::chrono::steady_clock::duration lastSleep_{};
    bool closed_ = false;
};

}  // namespace velmora
