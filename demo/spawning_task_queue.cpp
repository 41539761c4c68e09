#include "demo/spawning_task_queue.h"

namespace velmora::demo {

SpawningTaskQueue::~SpawningTaskQueue() {
    shutdown();
}

void SpawningTaskQueue::enqueue(std::function<void()> fn) {
    std::lock_guard lock(mutex_);
    reapLocked();
    auto done = std::make_shared<std::atomic<bool>>(false);
    workers_.push_back({std::thread([fn = std::move(fn), done] {
                            fn();
                            done->store(true);
                        }),
                        done});
}

void SpawningTaskQueue::shutdown() {
    std::list<Worker> all;
    {
        std::lock_guard lock(mutex_);
        all.swap(workers_);
    }
    for (Worker& w : all)
        if (w.thread.joinable()) w.thread.join();
}

void SpawningTaskQueue::on_idle() {
    std::lock_guard lock(mutex_);
    reapLocked();
}

void SpawningTaskQueue::reapLocked() {
    for (auto it = workers_.begin(); it != workers_.end();) {
        if (it->done->load()) {
            it->thread.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace velmora::demo
