#pragma once
// The boxes under the company list that show the selected entry, and the
// profile area below them.
#include <QFrame>
#include <QLineEdit>

#include <array>

#include "app/engine/company_columns.h"

class QPlainTextEdit;

namespace velmora::gui {

// A read-only box of the panel. It may ask for room for a given sample text
// (the telephone and fax boxes), which the panel's other boxes give up first;
// it never insists on it, so the window can still be made narrower.
class DetailBox : public QLineEdit {
    Q_OBJECT
  public:
    using QLineEdit::QLineEdit;
    void setRoomFor(const QString& sample);
    QSize sizeHint() const override;

  private:
    QString sample_;
};

// A read-only box that reports a left click (the website and e-mail boxes).
class LinkBox : public DetailBox {
    Q_OBJECT
  public:
    explicit LinkBox(QWidget* parent = nullptr);
  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class DetailPanel : public QFrame {
    Q_OBJECT
  public:
    static constexpr int kHeight = 63;

    explicit DetailPanel(QWidget* parent = nullptr);

    // The box that shows a list column (null for the ID and the profile).
    QLineEdit* box(Column column) const;
    LinkBox* websiteBox() const { return website_; }
    LinkBox* emailBox() const { return email_; }

    // Shows an entry's eleven columns (ID and profile are shown elsewhere).
    // Boxes whose new text is empty keep their previous tooltip.
    void showEntry(const std::array<QString, kColumns>& columns);

  signals:
    void websiteClicked(const QString& text);
    void emailClicked(const QString& text);

  private:
    DetailBox* addBox(Column column, const QString& name);
    std::array<QLineEdit*, kColumns> boxes_{};
    LinkBox* website_ = nullptr;
    LinkBox* email_ = nullptr;
};

class ProfilePanel : public QFrame {
    Q_OBJECT
  public:
    static constexpr int kHeight = 66;

    explicit ProfilePanel(QWidget* parent = nullptr);
    QPlainTextEdit* memo() const { return memo_; }
    // The profile with its line breaks (CR LF) already inserted.
    void setProfile(const QString& text);

  private:
    QPlainTextEdit* memo_ = nullptr;
};

}  // namespace velmora::gui
