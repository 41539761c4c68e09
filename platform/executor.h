#pragma once
// The one way worker threads reach the main thread: every change of the
// company list, the run state and the status texts runs through post() or
// postAndWait(). The GUI binds it to Qt's event loop, the CLI to a queue.
#include <functional>

namespace velmora {

class Executor {
  public:
    virtual ~Executor() = default;

    // Runs `task` on the main thread later, in posting order. Dropped once the
    // executor is closed.
    virtual void post(std::function<void()> task) = 0;

    // Runs `task` on the main thread and waits for it. Runs it at once when
    // called on the main thread. Returns false (without running it) when the
    // executor is closed, so a worker never waits on a main thread that has
    // stopped serving.
    virtual bool postAndWait(std::function<void()> task) = 0;

    virtual bool onMainThread() const = 0;
};

}  // namespace velmora
