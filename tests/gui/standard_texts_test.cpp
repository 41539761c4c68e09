// Qt's own texts in the Chinese window: standard buttons, the file dialogs
// and the edit boxes' context menu speak Chinese, whatever the system
// locale; the program's own texts stay as they are.
#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include "gui_fixture.h"

namespace velmora::testing {
namespace {

bool hasChinese(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) return true;
    return false;
}

TEST(StandardTexts, MessageBoxButtonsAreChinese) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velmora"), QStringLiteral("没有联网"),
                    QMessageBox::Ok | QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("是(&Y)"));
    EXPECT_EQ(box.button(QMessageBox::No)->text(), QStringLiteral("否(&N)"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
    EXPECT_EQ(box.text(), QStringLiteral("没有联网"));
}

TEST(StandardTexts, FileDialogsAreChinese) {
    for (auto mode : {QFileDialog::AcceptSave, QFileDialog::AcceptOpen}) {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(mode);
        dialog.setNameFilters({QStringLiteral("文本文件 (*.txt)")});
        for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"}) {
            auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(name));
            ASSERT_NE(label, nullptr) << name;
            EXPECT_TRUE(hasChinese(label->text())) << name << " " << label->text().toStdString();
        }
        auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        ASSERT_NE(buttons, nullptr);
        for (QAbstractButton* b : buttons->buttons())
            EXPECT_TRUE(hasChinese(b->text())) << b->text().toStdString();
        EXPECT_TRUE(hasChinese(dialog.windowTitle())) << dialog.windowTitle().toStdString();
    }
}

TEST(StandardTexts, EditBoxContextMenuIsChinese) {
    QLineEdit box(QStringLiteral("0577-57571586"));
    std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    int entries = 0;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) continue;
        ++entries;
        EXPECT_TRUE(hasChinese(action->text())) << action->text().toStdString();
    }
    EXPECT_GE(entries, 6);
}

}  // namespace
}  // namespace velmora::testing
