#pragma once
// How an export or import, running on a thread of its own, reports to the
// window: every call below is delivered on the main thread through the
// executor (the CLI's executor runs them inline). Texts are GBK.
#include <functional>
#include <string>

#include "platform/executor.h"

namespace velmora::io {

struct IoReporter {
    Executor& main;
    // The status text field (progress, the final text).
    std::function<void(const std::string& text)> setStatus;
    // The busy notice: shown at the start, hidden at the end and on failures.
    std::function<void(bool shown)> setBusy;
    // A message box with an OK button (caption, text).
    std::function<void(const std::string& caption, const std::string& text)> message;
    // After a completed import: the window empties its keyword box.
    std::function<void()> importCompleted;
};

}  // namespace velmora::io
