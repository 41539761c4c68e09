#pragma once
// The save-format dialog: spreadsheet or text, and whether the profile
// column is saved. Created once and reused, so its choices stay as the user
// left them. It is shown without waiting; the window acts on confirmed().
#include <QDialog>

#include <atomic>

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace velmora::gui {

class SaveFormatDialog : public QDialog {
    Q_OBJECT
  public:
    explicit SaveFormatDialog(QWidget* parent);

    QRadioButton* spreadsheetButton() const { return spreadsheet_; }
    QRadioButton* textButton() const { return text_; }
    QCheckBox* profileBox() const { return profile_; }

    bool spreadsheetChosen() const;
    // The "保存简介项" box, readable from any thread (the exports read it per
    // entry while they run).
    bool saveProfile() const { return saveProfile_.load(); }

    // Selects the format for a remembered value ("1" spreadsheet, else text)
    // and shows the dialog centred on the main window, not waiting for it.
    void showFor(const std::string& rememberedFormat);

  signals:
    void confirmed();

  private:
    QRadioButton* spreadsheet_ = nullptr;
    QRadioButton* text_ = nullptr;
    QCheckBox* profile_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::atomic<bool> saveProfile_{false};
};

}  // namespace velmora::gui
