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
    for (int s = 1; s <= kSourceCount; ++s)
        if (states_[s].active || states_[s].stepInFlight) return false;
    for (int s : sources)
        if (!available(s)) return false;

    searching_ = true;
    if (observer_) observer_->searchingChanged(true);
    setRunStatus(run_texts::starting(12));
    running_.store(true);

    keywordBox_ = keywordBox;
    inputs_ = makeSearchInputs(keywordBox, provinceBox);
    for (auto& state : states_) state.progress = SourceProgress{};

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
            state.progress.started = true;
            prepareSourceStart(s, sites_, inputs_, provinceBox, state.form);
            state.lastListingUrls.clear();
            state.form.lastPageNames.clear();
            state.form.lastPageSpent = false;
            state.active = true;
            dispatch(s);
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
