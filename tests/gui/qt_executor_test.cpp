// The executor that binds worker threads to Qt's event loop.
#include <atomic>
#include <thread>
#include <vector>

#include "app/gui/qt_executor.h"
#include "gui_fixture.h"

namespace velmora::testing {
namespace {

using gui::QtExecutor;

TEST(QtExecutor, PostedTasksRunOnTheGuiThreadInOrder) {
    QtExecutor exec;
    std::vector<int> order;
    std::atomic<bool> posted{false};
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i) exec.post([&order, i] { order.push_back(i); });
        posted = true;
    });
    ASSERT_TRUE(waitUntil([&] { return posted.load() && order.size() == 100; }));
    worker.join();
    for (int i = 0; i < 100; ++i) EXPECT_EQ(order[static_cast<size_t>(i)], i);
    EXPECT_TRUE(exec.onMainThread());
}

TEST(QtExecutor, PostAndWaitRunsInlineOnTheGuiThread) {
    QtExecutor exec;
    bool ran = false;
    EXPECT_TRUE(exec.postAndWait([&] { ran = true; }));
    EXPECT_TRUE(ran);
}

TEST(QtExecutor, PostAndWaitFromAWorkerBlocksUntilTheLoopHasRunTheTask) {
    QtExecutor exec;
    std::thread::id ranOn;
    std::atomic<int> result{-1};
    std::thread worker(
        [&] { result = exec.postAndWait([&] { ranOn = std::this_thread::get_id(); }); });
    ASSERT_TRUE(waitUntil([&] { return result.load() != -1; }));
    worker.join();
    EXPECT_EQ(result.load(), 1);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(QtExecutor, CloseReleasesWaitingWorkersAndRefusesLaterTasks) {
    QtExecutor exec;
    std::atomic<int> result{-1};
    std::atomic<bool> started{false};
    bool ran = false;
    std::thread worker([&] {
        started = true;
        result = exec.postAndWait([&] { ran = true; });
    });
    // The worker waits; the loop is not turned, so its task stays queued.
    while (!started.load()) std::this_thread::yield();
    exec.close();
    worker.join();
    EXPECT_EQ(result.load(), 0);
    // Once closed, a wait from a worker returns false at once and a post
    // is dropped.
    std::thread late([&] { result = exec.postAndWait([] {}); });
    late.join();
    EXPECT_EQ(result.load(), 0);
    bool later = false;
    exec.post([&] { later = true; });
    settle();
    EXPECT_FALSE(ran);
    EXPECT_FALSE(later);
}

}  // namespace
}  // namespace velmora::testing
