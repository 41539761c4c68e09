#include "app/gui/qt_executor.h"

namespace velmora::gui {

QtExecutor::QtExecutor(QObject* parent)
    : QObject(parent), mainThread_(std::this_thread::get_id()) {}

QtExecutor::~QtExecutor() {
    close();
}

void QtExecutor::post(std::function<void()> task) {
    {
        std::lock_guard lock(state_->mutex);
        if (state_->closed) return;
    }
    // Tasks that are still queued when the executor closes are dropped: they
    // may refer to objects that are being torn down.
    QMetaObject::invokeMethod(
        this,
        [state = state_, task = std::move(task)] {
            {
                std::lock_guard lock(state->mutex);
                if (state->closed) return;
            }
            task();
        },
        Qt::QueuedConnection);
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
    std::unique_lock lock(state_->mutex);
    if (state_->closed) return false;
    QMetaObject::invokeMethod(
        this,
        [state = state_, call, task = std::move(task)] {
            {
                std::lock_guard inner(state->mutex);
                // The waiter has given up; its task may refer to its stack.
                if (state->closed) return;
            }
            task();
            std::lock_guard inner(state->mutex);
            call->done = true;
            state->changed.notify_all();
        },
        Qt::QueuedConnection);
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
