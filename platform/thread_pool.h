#pragma once
// A small pool of worker threads. Worker steps take a thread from here instead
// of creating one per step; threads are started on demand up to the maximum.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora {

class ThreadPool {
  public:
    explicit ThreadPool(int maxThreads);
    // Finishes the queued tasks, then joins every thread.
    ~ThreadPool();
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

    void submit(std::function<void()> task);
    // Blocks until no task is queued or running.
    void waitIdle();

  private:
    void workerLoop();

    const int maxThreads_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> tasks_;
    std::vector<std::thread> threads_;
    int idleThreads_ = 0;
    int running_ = 0;
    bool stopping_ = false;
};

}  // namespace velmora
