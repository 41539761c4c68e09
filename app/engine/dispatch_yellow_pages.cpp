// The dispatcher of the yellow pages (source 6): the category search once
// (start taken), then every category row in order, each as often as its
// result pages show a further page (the step takes the row back by one).
#include "app/engine/run_control.h"

namespace velmora {

void RunControl::dispatchYellowPages(int s) {
    SourceState& state = states_[s];
    WorkForm& form = state.form;
    if (form.detailCount != 0) {
        if (form.nextDetailRow == 0) form.nextDetailRow = 1;
        if (form.nextDetailRow <= form.detailCount) {
            WorkRow& row = form.detail.at(form.nextDetailRow);
            row.mark.assign(1, 'Y');  // handed to a worker
            ++form.nextDetailRow;
            createWorker(s, row);
            return;
        }
        finishSource(s);
        return;
    }
    if (form.startTaken || !isRequestable(form.listing.row(1).url)) {
        finishSource(s);
        return;
    }
    WorkRow& row = form.listing.at(1);
    row.mark.assign(1, 'Y');  // handed to a worker
    form.startTaken = true;
    createWorker(s, row);
}

void RunControl::finishSource(int s) {
    WorkForm& form = states_[s].form;
    form.detail.clearDownFrom(form.detail.size());
    form.listing.clearDownFrom(form.listing.size());
    form.detailCount = 0;
    form.nextDetailRow = 0;
    form.startTaken = false;
    form.resultPage = 0;
    states_[s].active = false;
}

}  // namespace velmora
