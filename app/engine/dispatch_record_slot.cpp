// The dispatcher of the sources that hand one company at a time over in the
// record slot (2, 3, 4 and 7, and with two differences the web search, 1):
// take the slot in, hand out the next detail row, or request the next result
// page once the page's rows are done.
#include "app/engine/run_control.h"

namespace velmora {

void RunControl::dispatchRecordSlot(int s) {
    SourceState& state = states_[s];
    WorkForm& form = state.form;
    bool webSearch = state.source->rules() == DispatchRules::WebSearch;
    for (;;) {
        if (form.detailCount != 0) {
            if (form.nextDetailRow == 0) form.nextDetailRow = 1;
            list_.intake(form.slot);
            if (form.detailCount >= form.nextDetailRow) {
                WorkRow& row = form.detail.at(form.nextDetailRow);
                row.mark.assign(1, 'Y');  // handed to a worker
                if (webSearch) form.slot[Field::Website] = row.url;
                ++form.nextDetailRow;
                createWorker(s, row, form.nextDetailRow - 1);
                return;
            }
            // Every detail row handed out: reset and take the listing branch.
            form.detail.clearDownFrom(form.detailCount);
            form.detailCount = 0;
            form.nextDetailRow = 0;
            continue;
        }
        if (listingWouldBeHandedOut(form, webSearch)) {
            WorkRow& row = form.listing.at(webSearch ? form.nextPage : 1);
            row.mark.assign(1, 'Y');  // handed to a worker
            if (webSearch) ++form.nextPage;
            createWorker(s, row);
            return;
        }
        form.listing.clearDownFrom(form.knownPages);
        form.knownPages = 0;
        form.nextPage = 0;
        state.active = false;
        discardAhead(s);
        return;
    }
}

// Real pagers often keep a disabled "下一页" on their last page, and sites
// answer a page number beyond the end with an empty page or their last page
// again; either would keep the source fetching, and with the filter off
// taking the same companies in, for ever. The parsers stay exact (they say
// what the page says); the run decides here that such a page is the last.
void RunControl::endRepeatedListing(int s) {
    SourceState& state = states_[s];
    if (state.source->rules() != DispatchRules::RecordSlot) return;
    std::vector<std::string> urls;
    if (!settleListedPage(state.form, state.lastListingUrls, urls))
        state.lastListingUrls = std::move(urls);
}

bool RunControl::settleListedPage(WorkForm& form, const std::vector<std::string>& lastUrls,
                                  std::vector<std::string>& urls) {
    urls.clear();
    urls.reserve(static_cast<size_t>(std::max(form.detailCount, 0)));
    for (int r = 1; r <= form.detailCount; ++r) urls.push_back(form.detail.row(r).url);
    bool repeated = !urls.empty() && urls == lastUrls;
    if (urls.empty() || repeated) form.knownPages = 0;
    if (repeated) {
        // The rows of a repeated page are not handed out again.
        form.detail.clearDownFrom(form.detailCount);
        form.detailCount = 0;
        form.nextDetailRow = 0;
    }
    return repeated;
}

}  // namespace velmora
