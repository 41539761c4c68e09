#pragma once
// The intake services a listing step of sources 5 and 6 uses while it takes
// its result page's companies in itself: the same-name filter and the list
// entry run on the main thread; the e-mail lookups of accepted names may run
// ahead on the source's further connections.
#include <string>
#include <vector>

#include "app/engine/run_control.h"
#include "app/engine/step_task.h"

namespace velmora {

class RunControl::SourceIntake : public IntakeContext {
  public:
    SourceIntake(RunControl& run, StepTask& task) : run_(run), task_(task) {}

    bool acceptName(const std::string& name) override;
    void lookupEmailIfWanted(RecordSlot& record) override;
    void takeIn(const RecordSlot& record) override;
    void takeInCompanies(std::vector<RecordSlot>& companies) override;

  private:
    // Filter and entry in one hand-over; true when the company was added.
    bool takeInIfAccepted(const RecordSlot& record);
    void takeInWithLookupsAhead(std::vector<RecordSlot>& companies);

    RunControl& run_;
    StepTask& task_;
};

}  // namespace velmora
