#include "app/gui/qt_executor.h"

namespace velmora::gui {

QtExecutor::QtExecutor(QObject* parent)
    : QObject(parent), mainThread_(std::this_thread::get_id()) {}

QtExecutor::~QtExecutor() {
    close();
}

void QtExecutor::post(std::function<void()> task) {
    enqueue(std::move(task));
}

bool QtExecutor::enqueue(std::function<void()> task) {
    {
        std::lock_guard lock(state_->mutex);
        if (state_->closed) return false;
        state_->queued.push_back(std::move(task));
        if (state_->batchPending) return true;
        state_->batchPending = true;
    }
    scheduleBatch();
    return true;
}

void QtExecutor::scheduleBatch() {
    QMetaObject::invokeMethod(
        this, [this, state = state_] { runBatch(this, state); }, Qt::QueuedConnection);
}

void QtExecutor::runBatch(QtExecutor* self, const std::shared_ptr<State>& state) {
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard lock(state->mutex);
        batch.swap(state->queued);
    }
    for (auto& task : batch) {
        {
            // Tasks that are still queued when the executor closes are
            // dropped: they may refer to objects that are being torn down.
            std::lock_guard lock(state->mutex);
            if (state->closed) return;
        }
        task();
    }
    {
        std::lock_guard lock(state->mutex);
        if (state->closed) return;
        if (state->queued.empty()) {
            state->batchPending = false;
            return;
        }
    }
    // What was posted meanwhile goes in the next turn of the loop.
    self->scheduleBatch();
}

bool QtExecutor::postAndWait(std::function<void()> task) {
    if (onMainThread()) {
        task();
        return true;
    }
    struct Call {
        bool done = false;
    };
    auto call = std::make_shared<Call>();
    bool queued = enqueue([state = state_, call, task = std::move(task)] {
        task();
        std::lock_guard lock(state->mutex);
        call->done = true;
        state->changed.notify_all();
    });
    if (!queued) return false;
    // A closed executor drops the task: the waiter gives up, and the task,
    // which may refer to its stack, never runs.
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [&] { return call->done || state_->closed; });
    return call->done;
}

bool QtExecutor::onMainThread() const {
    return std::this_thread::get_id() == mainThread_;
}

void QtExecutor::close() {
    std::lock_guard lock(state_->mutex);
    state_->closed = true;
    state_->changed.notify_all();
}

bool QtExecutor::closed() const {
    std::lock_guard lock(state_->mutex);
    return state_->closed;
}

}  // namespace velmora::gui
