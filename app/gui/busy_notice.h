#pragma once
// The small "please wait" window shown while an import or export runs. It is
// not modal. Runs may overlap, so it stays up until the last one has ended.
// It stays on top of the window, so it steps aside while a dialog (a message
// box, a question, a file dialog) is up, which would otherwise lie under it.
#include <QFrame>
#include <QPointer>
#include <vector>

namespace velmora::gui {

class BusyNotice : public QFrame {
    Q_OBJECT
  public:
    explicit BusyNotice(QWidget* owner);

    // One run started (shown) or ended (hidden when no run is left).
    void setBusy(bool busy);
    int runs() const { return runs_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showOrHide();

    QWidget* owner_;
    int runs_ = 0;
    std::vector<QPointer<QWidget>> dialogsUp_;
};

}  // namespace velmora::gui
