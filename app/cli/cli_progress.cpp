#include "app/cli/cli_progress.h"

#include <iostream>

#include "app/cli/cli_output.h"

namespace velmora::cli {

void CliProgress::runStatusChanged(const std::string& gbkText) {
    status_ = utf8(gbkText);
    if (terminal_)
        show(true);
    else
        std::cerr << "status: " << status_ << " (pages " << pages_ << ", companies " << list_.size()
                  << ")\n";
}

void CliProgress::stepFinished(int, const StepOutcome& outcome) {
    if (outcome.requested) ++pages_;
    if (terminal_)
        show(false);
    else if (outcome.requested && pages_ % 50 == 0)
        std::cerr << "pages " << pages_ << ", companies " << list_.size() << "\n";
}

void CliProgress::show(bool force) {
    auto now = std::chrono::steady_clock::now();
    if (!force && now - lastShown_ < std::chrono::milliseconds(100)) return;
    lastShown_ = now;
    std::cerr << "\rpages " << pages_ << "  companies " << list_.size() << "  " << status_
              << "\x1b[K" << std::flush;
}

void CliProgress::finish() {
    if (terminal_) {
        show(true);
        std::cerr << "\n";
    }
}

}  // namespace velmora::cli
