#pragma once
// Executor bound to Qt's event loop: posted tasks run on the GUI thread in
// posting order. Tasks posted while earlier ones wait go over in one batch
// (one queued call for all of them), so a burst of step signals costs one
// event-loop turn, not one each; a batch runs the tasks that were queued when
// it began, so the loop still turns between batches. close() at shutdown drops
// whatever is still queued and releases every worker waiting in postAndWait().
#include <QObject>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/executor.h"

namespace velmora::gui {

class QtExecutor : public QObject, public Executor {
    Q_OBJECT
  public:
    // The constructing thread is the main (GUI) thread.
    explicit QtExecutor(QObject* parent = nullptr);
    ~QtExecutor() override;

    void post(std::function<void()> task) override;
    // Inline on the GUI thread; elsewhere blocks until the task has run, or
    // returns false once the executor is closed. Never spins an event loop.
    bool postAndWait(std::function<void()> task) override;
    bool onMainThread() const override;

    // Refuses further tasks and wakes every waiting worker. GUI thread.
    void close();
    bool closed() const;

  private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        bool closed = false;
        std::deque<std::function<void()>> queued;
        bool batchPending = false;  // a queued call will run the queue
    };
    // Queues `task`; false when closed.
    bool enqueue(std::function<void()> task);
    void scheduleBatch();
    static void runBatch(QtExecutor* self, const std::shared_ptr<State>& state);
    std::shared_ptr<State> state_ = std::make_shared<State>();
    std::thread::id mainThread_;
};

}  // namespace velmora::gui
