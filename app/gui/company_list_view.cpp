#include "app/gui/company_list_view.h"

namespace velmora::gui {

void CompanyListView::setPreferredHeight(int height) {
    if (height == preferredHeight_) return;
    preferredHeight_ = height;
    updateGeometry();
}

QSize CompanyListView::sizeHint() const {
    QSize hint = QTableView::sizeHint();
    if (preferredHeight_ >= 0) hint.setHeight(preferredHeight_);
    return hint;
}

}  // namespace velmora::gui
