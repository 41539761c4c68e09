#pragma once
// What the run control tells a recorder of its progress (the journal of a
// resumable harvest). All calls come on the main thread.
#include "sources/framework/work_table.h"

namespace velmora {

class RunControl;

class RunRecorder {
  public:
    virtual ~RunRecorder() = default;
    // The entries added from now on are taken in for `source`.
    virtual void intakeBy(int source) = 0;
    // `row` of `source` (its detail row `detailRow`, 0 for a listing row) is
    // being handed to a step: the source's form is as its dispatch left it.
    virtual void handingOut(int source, const WorkRow& row, int detailRow,
                            const RunControl& run) = 0;
    // `source` is no longer active: finished, or `stopped` by the stop command
    // (its last step then is not taken in).
    virtual void sourceEnded(int source, bool stopped, const RunControl& run) = 0;
};

}  // namespace velmora
