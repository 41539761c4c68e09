#include "platform/thread_pool.h"

namespace velmora {

ThreadPool::ThreadPool(int maxThreads) : maxThreads_(maxThreads < 1 ? 1 : maxThreads) {}

ThreadPool::~ThreadPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (auto& t : threads_) t.join();
}

void ThreadPool::submit(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        if (idleThreads_ < static_cast<int>(tasks_.size()) &&
            static_cast<int>(threads_.size()) < maxThreads_)
            threads_.emplace_back([this] { workerLoop(); });
    }
    wake_.notify_one();
}

void ThreadPool::waitIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return tasks_.empty() && running_ == 0; });
}

void ThreadPool::workerLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        ++idleThreads_;
        wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
        --idleThreads_;
        if (tasks_.empty()) return;  // stopping and nothing left
        auto task = std::move(tasks_.front());
        tasks_.pop_front();
        ++running_;
        lock.unlock();
        task();
        task = nullptr;
        lock.lock();
        --running_;
        if (tasks_.empty() && running_ == 0) idle_.notify_all();
    }
}

}  // namespace velmora
