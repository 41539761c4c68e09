#pragma once
// The small "please wait" window shown while an import or export runs. It is
// not modal. Runs may overlap, so it stays up until the last one has ended.
#include <QFrame>

namespace velmora::gui {

class BusyNotice : public QFrame {
    Q_OBJECT
  public:
    explicit BusyNotice(QWidget* owner);

    // One run started (shown) or ended (hidden when no run is left).
    void setBusy(bool busy);
    int runs() const { return runs_; }

  private:
    QWidget* owner_;
    int runs_ = 0;
};

}  // namespace velmora::gui
