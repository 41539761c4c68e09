#include "app/gui/detail_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>

#include <algorithm>

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

void DetailBox::setRoomFor(const QString& sample) {
    sample_ = sample;
    updateGeometry();
}

QSize DetailBox::sizeHint() const {
    QSize hint = QLineEdit::sizeHint();
    if (sample_.isEmpty()) return hint;
    // The text, the edit's own margin of 2 on each side, the text margins and
    // the frame, as the line edit lays its text out.
    QStyleOptionFrame option;
    initStyleOption(&option);
    QMargins margins = textMargins();
    int text = fontMetrics().horizontalAdvance(sample_) + 2 * 2 + margins.left() + margins.right();
    QSize wanted =
        style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(text, hint.height()), this);
    // A pixel or two of slack for fonts whose glyphs overhang their advance.
    hint.setWidth(std::max(hint.width(), wanted.width() + 2));
    return hint;
}

LinkBox::LinkBox(QWidget* parent) : DetailBox(parent) {}

void LinkBox::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

DetailBox* DetailPanel::addBox(Column column, const QString& name) {
    DetailBox* box = nullptr;
    if (column == Column::Website || column == Column::Email) {
        auto* link = new LinkBox(this);
        setBackground(link, linkBackground());
        (column == Column::Website ? website_ : email_) = link;
        box = link;
    } else {
        box = new DetailBox(this);
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

    DetailBox* name = addBox(Column::Name, QStringLiteral("EditName"));
    DetailBox* address = addBox(Column::Address, QStringLiteral("EditAddress"));
    DetailBox* postcode = addBox(Column::Postcode, QStringLiteral("EditPostcode"));
    DetailBox* phone = addBox(Column::Phone, QStringLiteral("EditPhone"));
    DetailBox* fax = addBox(Column::Fax, QStringLiteral("EditFax"));
    DetailBox* contact = addBox(Column::Contact, QStringLiteral("EditContact"));
    DetailBox* manager = addBox(Column::Manager, QStringLiteral("EditManager"));
    DetailBox* website = addBox(Column::Website, QStringLiteral("EditWebsite"));
    DetailBox* email = addBox(Column::Email, QStringLiteral("EditEmail"));
    // A typical number with a second line behind it, shown whole; the name
    // and address column gives way.
    static const QString kTypicalNumber = QStringLiteral("0577-57571586 / 26326848");
    phone->setRoomFor(kTypicalNumber);
    fax->setRoomFor(kTypicalNumber);

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

    // The telephone and fax columns keep the room they ask for; the rest of
    // the width goes to the name and address column.
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 0);
    grid->setColumnStretch(5, 0);

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
