#pragma once
// Connection handling for the demo server: one thread per connection
// instead of a fixed pool, so that requests held by a Hang fault can never
// starve the others. Finished threads are joined as new connections arrive
// and when the server is idle; shutdown() joins the rest.
#include <httplib.h>

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace velmora::demo {

class SpawningTaskQueue : public httplib::TaskQueue {
  public:
    ~SpawningTaskQueue() override;
    void enqueue(std::function<void()> fn) override;
    void shutdown() override;
    void on_idle() override;

  private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    void reapLocked();

    std::mutex mutex_;
    std::list<Worker> workers_;
};

}  // namespace velmora::demo
