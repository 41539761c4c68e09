#include "platform/queue_executor.h"

#include <future>

namespace velmora {

QueueExecutor::QueueExecutor() : mainThread_(std::this_thread::get_id()) {}

QueueExecutor::~QueueExecutor() {
    close();
}

void QueueExecutor::post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) return;
        tasks_.push_back(std::move(task));
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
    return task;
}

bool QueueExecutor::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        std::unique_lock lock(mutex_);
        auto ready = [&] { return !tasks_.empty() || closed_; };
        if (timeout.count() > 0) {
            if (!cv_.wait_until(lock, deadline, ready)) return false;
        } else {
            cv_.wait(lock, ready);
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
