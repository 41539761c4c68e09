#pragma once
// The thin strip between the list and the panels, and the three layouts it
// cycles through:
//   A  list fills the space, strip and detail panel at the bottom (start-up)
//   B  list fills the space, strip at the bottom, no panels
//   C  list at the top with its own height, strip, detail panel, profile
//      panel filling the rest
#include <QFrame>

class QPushButton;
class QVBoxLayout;

namespace velmora::gui {

class CompanyListView;

class ToggleStrip : public QFrame {
    Q_OBJECT
  public:
    static constexpr int kHeight = 11;

    explicit ToggleStrip(QWidget* parent = nullptr);
    QPushButton* button() const { return button_; }
    // The button's width (the window width minus 20 on every resize).
    void setButtonWidth(int width);

  signals:
    void clicked();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void placeButton();

    QPushButton* button_ = nullptr;
    int buttonWidth_ = 0;
};

class LayoutSwitcher : public QObject {
    Q_OBJECT
  public:
    enum class Layout { A, B, C };

    // The four areas sit in `column` in this order: list, strip, detail
    // panel, profile panel.
    LayoutSwitcher(QVBoxLayout* column, CompanyListView* list, ToggleStrip* strip, QWidget* detail,
                   QWidget* profile, QObject* parent = nullptr);

    Layout layout() const { return layout_; }
    // A -> B -> C -> A.
    void cycle();
    // The list's own height (the window height minus 285), shown in layout C.
    void setListHeight(int height);
    int listHeight() const { return listHeight_; }

  signals:
    void layoutChanged(Layout layout);

  private:
    void apply(Layout layout);

    QVBoxLayout* column_;
    CompanyListView* list_;
    ToggleStrip* strip_;
    QWidget* detail_;
    QWidget* profile_;
    Layout layout_ = Layout::A;
    int listHeight_ = 0;
};

}  // namespace velmora::gui
