// The dispatcher of the portal search (source 5): no detail table, the step
// takes its companies in itself; another answer page while next page has not
// passed known pages.
#include "app/engine/run_control.h"

namespace velmora {

void RunControl::dispatchPortal(int s) {
    SourceState& state = states_[s];
    WorkForm& form = state.form;
    // A page that held no company or only the last page's ends the source
    // like a page without a further page, and so does a missing address: its
    // steps would never count a page, and the source would be handed out
    // without end.
    const std::string& url = form.listing.row(1).url;
    if (form.nextPage > form.knownPages || form.lastPageSpent || !isRequestable(url)) {
        form.knownPages = 0;
        form.nextPage = 0;
        form.lastPageSpent = false;
        form.lastPageNames.clear();
        state.active = false;
        return;
    }
    // Every step posts to the search endpoint of the start item.
    createWorker(s, WorkRow{"Y", url, WorkKey::make(s, 0, 0)});
}

}  // namespace velmora
