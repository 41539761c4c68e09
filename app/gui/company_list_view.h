#pragma once
// The company list's view. Its preferred height is settable: layout C shows
// the list at its own height, which must be what the list asks for, not a
// fixed height that would keep the window from shrinking.
#include <QTableView>

namespace velmora::gui {

class CompanyListView : public QTableView {
    Q_OBJECT
  public:
    using QTableView::QTableView;

    // A negative height gives the view's usual preference back.
    void setPreferredHeight(int height);
    QSize sizeHint() const override;

  private:
    int preferredHeight_ = -1;
};

}  // namespace velmora::gui
