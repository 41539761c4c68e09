// Continuing an interrupted search: every source takes up its work form,
// figures and the detail urls of its last listing page from its checkpoint,
// then hands out again the row that was in flight (its page was never taken
// in), or runs its dispatcher when the stop command had ended it. Nothing
// already taken in is requested again.
#include "app/engine/run_checkpoint.h"
#include "app/engine/run_control.h"
#include "app/engine/source_starts.h"

namespace velmora {

bool RunControl::resumeSearch(const std::string& keywordBox, const std::string& provinceBox,
                              const std::vector<int>& sources,
                              const std::vector<SourceCheckpoint>& checkpoints) {
    if (!beginSearch(keywordBox, provinceBox, sources)) return false;

    auto checkpointOf = [&](int s) -> const SourceCheckpoint* {
        for (const auto& c : checkpoints)
            if (c.source == s) return &c;
        return nullptr;
    };
    starting_ = true;
    for (int s : startOrder(sources)) {
        SourceState& state = states_[s];
        const SourceCheckpoint* c = checkpointOf(s);
        if (!c) {
            startAfresh(s, provinceBox);
            continue;
        }
        state.form = c->form;
        state.lastListingUrls = c->lastListingUrls;
        state.progress = c->progress;
        state.progress.started = true;
        switch (c->state) {
            case SourceCheckpoint::State::Finished:
                // Said again, so that a journal rewritten for this run knows it too.
                if (recorder_) recorder_->sourceEnded(s, false, *this);
                break;
            case SourceCheckpoint::State::Stopped:
                state.active = true;
                dispatch(s);
                break;
            case SourceCheckpoint::State::InFlight:
                state.active = true;
                createWorker(s, c->inFlight, c->inFlightDetailRow);
                break;
        }
    }
    starting_ = false;
    completionCheck();
    return true;
}

}  // namespace velmora
