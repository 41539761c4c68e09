#pragma once
// The keyword box (with the keyword history) and the province box of the
// tool bar, with their keys.
#include <QComboBox>

namespace velmora::gui {

// Enter starts the search; every other key edits the text.
class KeywordBox : public QComboBox {
    Q_OBJECT
  public:
    explicit KeywordBox(QWidget* parent = nullptr);
    // Replaces the drop-down entries (the history) and sets the text.
    void setHistory(const QStringList& entries, const QString& text);
  signals:
    void enterPressed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The province list. Enter starts the search, Backspace (or Delete) empties
// the text; every other way of putting text into the box or of changing its
// entry (typing, pasting by key, context menu or middle button, the arrow
// and page keys) is refused with a message. Picking an entry from the
// drop-down list is the one way to choose.
class ProvinceBox : public QComboBox {
    Q_OBJECT
  public:
    explicit ProvinceBox(QWidget* parent = nullptr);

    // The position of the entry last picked (0 = "(省份)"), or loaded.
    int provinceIndex() const { return index_; }
    // Start-up: the loaded index; the text is that entry, or empty when the
    // index names none.
    void restore(int index);
    void setProvinceIndex(int index) { index_ = index; }

  signals:
    void enterPressed();
    void typingRefused();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int index_ = 0;
};

}  // namespace velmora::gui
