#include "platform/queue_executor.h"

#include <future>
#include <thread>

namespace velmora {
namespace {

using Clock = std::chrono::steady_clock;
// Watch the queue before sleeping only when the last sleep was this short,
// and for at most this long.
constexpr auto kQuickSuccession = std::chrono::microseconds(1000);
constexpr auto kWatch = std::chrono::microseconds(300);

}  // namespace

QueueExecutor::QueueExecutor() : mainThread_(std::this_thread::get_id()) {}

QueueExecutor::~QueueExecutor() {
    close();
}

void QueueExecutor::post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) return;
        tasks_.push_back(std::move(task));
        hasTasks_.store(true, std::memory_order_release);
    }
    cv_.notify_all();
}

bool QueueExecutor::postAndWait(std::function<void()> task) {
    if (onMainThread()) {
        task();
        return true;
    }
    auto done = std::make_shared<std::promise<bool>>();
    auto future = done->get_future();
    {
        std::lock_guard lock(mutex_);
        if (closed_) return false;
        tasks_.push_back([task = std::move(task), done] {
            task();
            done->set_value(true);
        });
        hasTasks_.store(true, std::memory_order_release);
    }
    cv_.notify_all();
    // A task dropped by close() breaks the promise: the wait ends with false.
    try {
        return future.get();
    } catch (const std::future_error&) {
        return false;
    }
}

bool QueueExecutor::onMainThread() const {
    return std::this_thread::get_id() == mainThread_;
}

std::function<void()> QueueExecutor::take(std::unique_lock<std::mutex>&) {
    auto task = std::move(tasks_.front());
    tasks_.pop_front();
    if (tasks_.empty()) hasTasks_.store(false, std::memory_order_relaxed);
    return task;
}

void QueueExecutor::watchBeforeSleeping() {
    if (hasTasks_.load(std::memory_order_acquire) || lastSleep_ > kQuickSuccession) return;
    auto until = Clock::now() + kWatch;
    while (!hasTasks_.load(std::memory_order_acquire) && Clock::now() < until)
        std::this_thread::yield();
}

bool QueueExecutor::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        watchBeforeSleeping();
        std::unique_lock lock(mutex_);
        auto ready = [&] { return !tasks_.empty() || closed_; };
        if (!ready()) {
            auto slept = Clock::now();
            if (timeout.count() > 0) {
                if (!cv_.wait_until(lock, deadline, ready)) return false;
            } else {
                cv_.wait(lock, ready);
            }
            lastSleep_ = Clock::now() - slept;
        }
        if (tasks_.empty()) return done();  // closed
        auto task = take(lock);
        lock.unlock();
        task();
    }
    return true;
}

int QueueExecutor::drain() {
    int ran = 0;
    for (;;) {
        std::unique_lock lock(mutex_);
        if (tasks_.empty()) return ran;
        auto task = take(lock);
        lock.unlock();
        task();
        ++ran;
    }
}

void QueueExecutor::close() {
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        dropped.swap(tasks_);
    }
    cv_.notify_all();
    // Destroying the dropped tasks breaks the promises of waiting callers.
}

}  // namespace velmora
