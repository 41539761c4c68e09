#pragma once
// One worker step in flight: the step the dispatcher has handed out, or one
// running ahead of its hand-out. The step works on a private work form and a
// connection of its own; the main thread takes its results into the source's
// work form when the dispatcher reaches it. Fields marked "main" are touched
// only on the main thread; the worker writes `form` and `outcome` and hands
// them over with the step's completion, which runs on the main thread.
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/engine/run_control.h"

namespace velmora {

struct RunControl::StepTask {
    int source = 0;
    int detailRow = 0;  // the detail row it works off; 0 for a listing step
    bool listing = false;
    WorkItem item;
    WorkForm form;
    HttpClient* http = nullptr;
    // Sources 5 and 6: further connections for the e-mail lookups that their
    // listing step runs ahead.
    std::vector<HttpClient*> spare;
    std::chrono::milliseconds retryPause{0};
    StepOutcome outcome;

    // main
    bool done = false;
    bool handedOut = false;
    bool discarded = false;
    // A listing step run ahead: the counters it was started from, which the
    // source's form must show when the dispatcher hands the listing row out.
    std::int32_t knownPagesBefore = 0;
    std::int32_t nextPageBefore = 0;
    // A listing step ahead that is over: the form as its page will be worked
    // off (made when first needed).
    std::unique_ptr<WorkForm> pageAfter;
};

}  // namespace velmora
