#include "app/gui/detail_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace velmora::gui {
namespace {

constexpr int kBoxHeight = 19;

QColor linkBackground() {
    return QColor(227, 225, 221);
}

void setBackground(QLineEdit* box, const QColor& colour) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, colour);
    box->setPalette(palette);
}

}  // namespace

LinkBox::LinkBox(QWidget* parent) : QLineEdit(parent) {}

void LinkBox::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

QLineEdit* DetailPanel::addBox(Column column, const QString& name) {
    QLineEdit* box = nullptr;
    if (column == Column::Website || column == Column::Email) {
        auto* link = new LinkBox(this);
        setBackground(link, linkBackground());
        (column == Column::Website ? website_ : email_) = link;
        box = link;
    } else {
        box = new QLineEdit(this);
        // The window's button face, as the boxes are for reading only.
        setBackground(box, palette().color(QPalette::Button));
    }
    box->setObjectName(name);
    box->setReadOnly(true);
    // After setReadOnly, which sets a cursor of its own.
    if (column == Column::Website || column == Column::Email)
        box->setCursor(Qt::PointingHandCursor);
    box->setFixedHeight(kBoxHeight);
    box->setFrame(true);
    boxes_[static_cast<size_t>(column)] = box;
    return box;
}

DetailPanel::DetailPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("DetailPanel"));
    setFixedHeight(kHeight);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(2, 1, 2, 1);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);

    auto label = [this](const QString& text) {
        auto* l = new QLabel(text, this);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };

    QLineEdit* name = addBox(Column::Name, QStringLiteral("EditName"));
    QLineEdit* address = addBox(Column::Address, QStringLiteral("EditAddress"));
    QLineEdit* postcode = addBox(Column::Postcode, QStringLiteral("EditPostcode"));
    QLineEdit* phone = addBox(Column::Phone, QStringLiteral("EditPhone"));
    QLineEdit* fax = addBox(Column::Fax, QStringLiteral("EditFax"));
    QLineEdit* contact = addBox(Column::Contact, QStringLiteral("EditContact"));
    QLineEdit* manager = addBox(Column::Manager, QStringLiteral("EditManager"));
    QLineEdit* website = addBox(Column::Website, QStringLiteral("EditWebsite"));
    QLineEdit* email = addBox(Column::Email, QStringLiteral("EditEmail"));

    postcode->setToolTip(QStringLiteral("邮政编码"));
    postcode->setFixedWidth(56);
    website->setToolTip(QStringLiteral("点击链接"));
    email->setToolTip(QStringLiteral("点击发信"));

    grid->addWidget(label(QStringLiteral("企业名称")), 0, 0);
    grid->addWidget(name, 0, 1);
    grid->addWidget(label(QStringLiteral("电话")), 0, 2);
    grid->addWidget(phone, 0, 3);
    grid->addWidget(label(QStringLiteral("传真")), 0, 4);
    grid->addWidget(fax, 0, 5);

    auto* addressRow = new QHBoxLayout;
    addressRow->setSpacing(2);
    addressRow->addWidget(address, 1);
    addressRow->addWidget(postcode);
    grid->addWidget(label(QStringLiteral("地址")), 1, 0);
    grid->addLayout(addressRow, 1, 1);
    grid->addWidget(label(QStringLiteral("联系人")), 1, 2);
    grid->addWidget(contact, 1, 3);
    grid->addWidget(label(QStringLiteral("主管")), 1, 4);
    grid->addWidget(manager, 1, 5);

    grid->addWidget(label(QStringLiteral("网址")), 2, 0);
    grid->addWidget(website, 2, 1);
    grid->addWidget(label(QStringLiteral("E-mail")), 2, 2);
    grid->addWidget(email, 2, 3, 1, 3);

    grid->setColumnStretch(1, 5);
    grid->setColumnStretch(3, 2);
    grid->setColumnStretch(5, 2);

    connect(website_, &LinkBox::clicked, this, [this] { emit websiteClicked(website_->text()); });
    connect(email_, &LinkBox::clicked, this, [this] { emit emailClicked(email_->text()); });
}

QLineEdit* DetailPanel::box(Column column) const {
    return boxes_[static_cast<size_t>(column)];
}

void DetailPanel::showEntry(const std::array<QString, kColumns>& columns) {
    static constexpr Column kShown[] = {Column::Name,    Column::Address, Column::Postcode,
                                        Column::Phone,   Column::Fax,     Column::Contact,
                                        Column::Manager, Column::Website, Column::Email};
    for (Column c : kShown) {
        box(c)->setText(columns[static_cast<size_t>(c)]);
        box(c)->setCursorPosition(0);
    }
    // The boxes with fixed tooltips keep them; the others show their text, and
    // an empty box keeps the tooltip it had.
    static constexpr Column kTipped[] = {Column::Name, Column::Address, Column::Phone,
                                         Column::Fax,  Column::Contact, Column::Manager};
    for (Column c : kTipped) {
        const QString& text = columns[static_cast<size_t>(c)];
        if (!text.isEmpty()) box(c)->setToolTip(text);
    }
}

ProfilePanel::ProfilePanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("ProfilePanel"));
    setMinimumHeight(kHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("MemoProfile"));
    memo_->setReadOnly(true);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setPlainText(QStringLiteral("公司简介："));
    layout->addWidget(memo_);
}

void ProfilePanel::setProfile(const QString& text) {
    // The breaks are CR LF pairs; the memo wants one line feed per break.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    memo_->setPlainText(lines);
}

}  // namespace velmora::gui
