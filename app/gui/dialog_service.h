#pragma once
// Message boxes, questions and file dialogs go through this interface, so
// tests can answer them in advance instead of facing a modal window.
#include <QString>
#include <QStringList>

class QWidget;

namespace velmora::gui {

class DialogService {
  public:
    enum class Icon { Question, Information };

    struct FileChoice {
        QString path;          // empty when the user cancelled
        int filterIndex = -1;  // position of the filter selected when the dialog closed
    };

    virtual ~DialogService() = default;

    // A message box with an OK button.
    virtual void message(QWidget* parent, const QString& caption, const QString& text) = 0;
    // A question with the buttons Yes and No; true for Yes.
    virtual bool ask(QWidget* parent, const QString& caption, const QString& text, Icon icon) = 0;
    // The save dialog: its filters, the suffix added to a name typed without
    // one, and the proposed file name. Empty when cancelled.
    virtual QString saveFileName(QWidget* parent, const QStringList& filters,
                                 const QString& defaultSuffix, const QString& proposedName) = 0;
    // The open dialog with `selectedFilter` pre-selected.
    virtual FileChoice openFileName(QWidget* parent, const QStringList& filters,
                                    int selectedFilter) = 0;
};

// The real dialogs. The file dialogs remember the folder last used.
class QtDialogService : public DialogService {
  public:
    void message(QWidget* parent, const QString& caption, const QString& text) override;
    bool ask(QWidget* parent, const QString& caption, const QString& text, Icon icon) override;
    QString saveFileName(QWidget* parent, const QStringList& filters, const QString& defaultSuffix,
                         const QString& proposedName) override;
    FileChoice openFileName(QWidget* parent, const QStringList& filters,
                            int selectedFilter) override;

  private:
    QString folder_;
};

}  // namespace velmora::gui
