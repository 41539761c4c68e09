#pragma once
// The worker's side of an IoReporter: every call is carried to the main thread
// with postAndWait, so the window sees status texts and list changes in the
// order the worker made them, and the worker never outlives what it reports
// to. Once the executor refuses work (the window is closing) the channel
// stays closed and the run ends.
#include <chrono>
#include <functional>
#include <string>

#include "io/io_reporter.h"

namespace velmora::io {

class ReportChannel {
  public:
    explicit ReportChannel(IoReporter& reporter) : reporter_(reporter) {}

    bool status(const std::string& text);
    bool busy(bool shown);
    bool message(const std::string& caption, const std::string& text);
    bool importCompleted();
    // Runs `task` on the main thread and waits for it.
    bool onMain(const std::function<void()>& task);

    bool open() const { return open_; }
    IoReporter& reporter() { return reporter_; }

  private:
    IoReporter& reporter_;
    bool open_ = true;
};

// Lets a progress text through at most once per interval, so that a long run
// posts a few dozen texts a second instead of one per row.
class ProgressThrottle {
  public:
    explicit ProgressThrottle(std::chrono::milliseconds interval = std::chrono::milliseconds(50))
        : interval_(interval) {}
    // True for the first call and then when the interval has passed since the
    // last true.
    bool due();

  private:
    std::chrono::milliseconds interval_;
    std::chrono::steady_clock::time_point last_{};
    bool started_ = false;
};

// The program's own texts, GBK.
namespace texts {
const std::string& tipCaption();
const std::string& savingProgress();     // "正在保存企业信息... " + number
const std::string& importingProgress();  // "正在导入企业信息... " + number
const std::string& saveDone();
const std::string& importDone();
const std::string& saveFailed();
const std::string& importFailed();
}  // namespace texts

}  // namespace velmora::io
