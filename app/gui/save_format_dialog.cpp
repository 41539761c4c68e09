#include "app/gui/save_format_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>

#include "app/gui/window_placement.h"

namespace velmora::gui {

SaveFormatDialog::SaveFormatDialog(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("TForm10"));
    setWindowTitle(QStringLiteral("选择保存格式"));
    setModal(false);
    setFixedSize(256, 53);

    spreadsheet_ = new QRadioButton(QStringLiteral("EXCEL格式"), this);
    spreadsheet_->setObjectName(QStringLiteral("RadioSpreadsheet"));
    spreadsheet_->setChecked(true);
    text_ = new QRadioButton(QStringLiteral("文本格式"), this);
    text_->setObjectName(QStringLiteral("RadioText"));
    profile_ = new QCheckBox(QStringLiteral("保存简介项"), this);
    profile_->setObjectName(QStringLiteral("CheckSaveProfile"));
    ok_ = new QPushButton(QStringLiteral("确定"), this);
    ok_->setObjectName(QStringLiteral("ButtonConfirm"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    cancel_->setObjectName(QStringLiteral("ButtonCancel"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 3, 6, 3);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    grid->addWidget(spreadsheet_, 0, 0);
    grid->addWidget(text_, 0, 1);
    grid->addWidget(ok_, 0, 2);
    grid->addWidget(profile_, 1, 0, 1, 2);
    grid->addWidget(cancel_, 1, 2);
    for (QPushButton* b : {ok_, cancel_}) b->setFixedSize(60, 22);

    connect(profile_, &QCheckBox::toggled, this, [this](bool on) { saveProfile_.store(on); });
    connect(ok_, &QPushButton::clicked, this, [this] {
        close();
        emit confirmed();
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::close);
}

bool SaveFormatDialog::spreadsheetChosen() const {
    return spreadsheet_->isChecked();
}

void SaveFormatDialog::showFor(const std::string& rememberedFormat) {
    if (rememberedFormat == "1")
        spreadsheet_->setChecked(true);
    else
        text_->setChecked(true);
    centreOn(this, parentWidget());
    show();
    raise();
    activateWindow();
}

}  // namespace velmora::gui
