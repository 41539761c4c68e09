// Which steps run ahead. The dispatcher's next hand-outs follow from the work
// form alone as long as the run goes on: the remaining detail rows of the page
// in order, then (while the counters ask for one) the next listing step, and
// once that is over, the rows of its page. Each is started, on a private form,
// as soon as fewer than the parallel limit of the source's steps are running,
// at most one listing step and a bounded number of steps ahead of the one
// handed out. The dispatcher uses a step ahead only when the form shows
// exactly what it was started from; anything else is dropped.
#include "app/engine/step_task.h"

namespace velmora {
namespace {

bool runsAhead(DispatchRules rules) {
    return rules == DispatchRules::RecordSlot || rules == DispatchRules::WebSearch;
}

}  // namespace

bool RunControl::listingWouldBeHandedOut(const WorkForm& form, bool webSearch) const {
    int listingRow = webSearch ? form.nextPage : 1;
    const WorkRow& next = form.listing.row(listingRow);
    // A listing page that keeps failing, or one that cannot be requested at
    // all, finishes the source instead of being handed out forever.
    bool exhausted = form.listingFailures > kMaxListingRetries || !isRequestable(next.url);
    return form.knownPages >= form.nextPage && !exhausted;
}

const WorkForm& RunControl::pageAfter(int s, StepTask& listing) {
    if (!listing.pageAfter) {
        listing.pageAfter = std::make_unique<WorkForm>(listing.form);
        const StepOutcome& outcome = listing.outcome;
        if (states_[s].source->rules() == DispatchRules::RecordSlot && outcome.parsed &&
            !outcome.failed) {
            std::vector<std::string> urls;
            settleListedPage(*listing.pageAfter, states_[s].lastListingUrls, urls);
        }
    }
    return *listing.pageAfter;
}

RunControl::StepTaskPtr RunControl::predictNextStep(int s) {
    SourceState& state = states_[s];
    bool webSearch = state.source->rules() == DispatchRules::WebSearch;
    const StepTaskPtr& last = state.ahead.empty() ? state.current : state.ahead.back();
    if (!last) return nullptr;
    StepTask* listingAhead = nullptr;
    for (const StepTaskPtr& task : state.ahead)
        if (task->listing) listingAhead = task.get();

    const WorkForm* page = &state.form;
    int row = last->detailRow + 1;
    if (last->listing) {
        // The rows of its page are known once it is over; after a failed
        // listing step the source asks again or ends.
        if (state.ahead.empty() || !last->done || last->outcome.failed) return nullptr;
        page = &pageAfter(s, *last);
        row = 1;
    } else if (listingAhead != nullptr) {
        page = &pageAfter(s, *listingAhead);
    }
    if (row <= page->detailCount) {
        const WorkRow& detail = page->detail.row(row);
        WorkForm slotOnly(1);
        if (webSearch) slotOnly.slot[Field::Website] = detail.url;
        slotOnly.keyword = page->keyword;
        slotOnly.province = page->province;
        return newStep(s, detail, row, slotOnly);
    }
    if (listingAhead != nullptr || last->listing) return nullptr;  // one listing ahead at most
    // Every row of the page is under way: the next result page, on the form
    // as the dispatcher leaves it once they are all taken in.
    WorkForm next = *page;
    next.detail.clearDownFrom(next.detailCount);
    next.detailCount = 0;
    next.nextDetailRow = 0;
    next.slot.clear();
    if (!listingWouldBeHandedOut(next, webSearch)) return nullptr;
    WorkRow& listing = next.listing.at(webSearch ? next.nextPage : 1);
    listing.mark.assign(1, 'Y');
    if (webSearch) ++next.nextPage;
    WorkRow item = listing;
    StepTaskPtr task = newStep(s, item, 0, next);
    task->knownPagesBefore = next.knownPages;
    task->nextPageBefore = next.nextPage;
    return task;
}

void RunControl::runAhead(int s) {
    SourceState& state = states_[s];
    if (parallel_ <= 1 || !running_.load() || !state.current) return;
    if (!runsAhead(state.source->rules())) return;
    int running = state.current->done ? 0 : 1;
    for (const StepTaskPtr& task : state.ahead)
        if (!task->done) ++running;
    // A bound on how far ahead: what a stop throws away stays small.
    auto farthest = static_cast<size_t>(4 * parallel_);
    while (running < parallel_ && state.ahead.size() < farthest) {
        StepTaskPtr task = predictNextStep(s);
        if (!task) return;
        launch(task);
        state.ahead.push_back(std::move(task));
        ++running;
        ++stepsAhead_;
    }
}

void RunControl::discardAhead(int s) {
    SourceState& state = states_[s];
    for (const StepTaskPtr& task : state.ahead) task->discarded = true;
    stepsDiscarded_ += static_cast<long long>(state.ahead.size());
    state.ahead.clear();
}

}  // namespace velmora
