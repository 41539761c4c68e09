#pragma once
// The about box: product name, version, the computer's memory and the
// publisher's links.
#include <QDialog>

class QLabel;

namespace velmora {
class Shell;
}

namespace velmora::gui {

struct PublisherLinks {
    QString homePage;  // opened by the first link
    QString mail;      // the address of the "E-mail:" link
};

class AboutBox : public QDialog {
    Q_OBJECT
  public:
    AboutBox(QWidget* owner, Shell& shell, PublisherLinks links);

    // Fills the lines and shows the box modally, centred on the main window.
    void showModal();
    // Fills the lines (done by showModal; separate for tests).
    void refresh();

    QLabel* versionLabel() const { return version_; }
    QLabel* memoryLabel() const { return memory_; }
    // The mail link's target: "mailto:" + address + "?subject=Velmora (" +
    // the version line + ")".
    QString mailLinkTarget() const;

  private:
    void openLink(const QString& link);

    Shell& shell_;
    PublisherLinks links_;
    QLabel* version_ = nullptr;
    QLabel* memory_ = nullptr;
};

}  // namespace velmora::gui
