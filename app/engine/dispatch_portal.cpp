// The dispatcher of the portal search (source 5): no detail table, the step
// takes its companies in itself; another answer page while next page has not
// passed known pages.
#include "app/engine/run_control.h"

namespace velmora {

void RunControl::dispatchPortal(int s) {
    SourceState& state = states_[s];
    WorkForm& form = state.form;
    if (form.nextPage > form.knownPages || !isRequestable(form.listing.row(1).url)) {
        form.knownPages = 0;
        form.nextPage = 0;
        state.active = false;
        return;
    }
    createWorker(s, WorkRow{"Y", form.listing.row(1).url, "5[0]0{0}"});
}

}  // namespace velmora
