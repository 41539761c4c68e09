#pragma once
// The status bar's six fields: status text, "当前企业的ID:", ID, "企业数量:",
// entry count, run status.
#include <QStatusBar>

#include <array>

class QLabel;

namespace velmora::gui {

class StatusFields : public QStatusBar {
    Q_OBJECT
  public:
    enum Field { Text = 0, IdLabel, Id, CountLabel, Count, RunStatus, kFieldCount };

    explicit StatusFields(QWidget* parent = nullptr);

    QLabel* field(int index) const { return fields_[static_cast<size_t>(index)]; }
    QString text(int index) const;
    void setText(int index, const QString& text);

    // The run status field's start-up text: U+3000 "－Velmora－".
    static QString productTitle();

  private:
    std::array<QLabel*, kFieldCount> fields_{};
};

}  // namespace velmora::gui
