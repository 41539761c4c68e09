#pragma once
// Progress of a harvest on stderr: a live line on a terminal, plain lines
// otherwise (one per run-status change and every 50 pages).
#include <chrono>
#include <string>

#include "app/engine/company_list.h"
#include "app/engine/run_control.h"

namespace velmora::cli {

class CliProgress : public RunObserver {
  public:
    CliProgress(const CompanyList& list, bool terminal) : list_(list), terminal_(terminal) {}

    void runStatusChanged(const std::string& gbkText) override;
    void stepFinished(int source, const StepOutcome& outcome) override;
    // Ends the live line.
    void finish();

  private:
    void show(bool force);

    const CompanyList& list_;
    bool terminal_;
    long long pages_ = 0;
    std::string status_;
    std::chrono::steady_clock::time_point lastShown_{};
};

}  // namespace velmora::cli
