// The save and open commands: the save-format dialog and the remembered
// format, proposed file names, the overwrite question, and text and
// spreadsheet export and import run through the window.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <filesystem>

#include "app/gui/busy_notice.h"
#include "app/gui/company_list_model.h"
#include "app/gui/dialog_service.h"
#include "app/gui/file_choices.h"
#include "app/gui/input_boxes.h"
#include "app/gui/io_commands.h"
#include "app/gui/save_format_dialog.h"
#include "app/gui/status_fields.h"
#include "gui_fixture.h"

namespace velmora::testing {
namespace {

using gui::StatusFields;

// Counts how often a widget was shown.
class ShowCounter : public QObject {
  public:
    using QObject::QObject;
    int shows = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) ++shows;
        return QObject::eventFilter(watched, event);
    }
};

class SaveOpenTest : public WindowTest {
  protected:
    QRadioButton* radio(const char* name) {
        return formatDialog()->findChild<QRadioButton*>(QString::fromLatin1(name));
    }
    void sampleList() {
        addEntries({{"杭州甲电子有限公司", "0571-1", "王", "李", "杭州", "310000", "a@jia.cn",
                     "www.jia.cn", "0571-2", "简介甲"},
                    {"宁波乙贸易公司", "0574-1", "", "", "宁波", "", "", "", "", "简介乙"}});
    }
    std::string rememberedInFile() { return IniFile(notePath()).read("saveformat", "mat"); }
};

TEST_F(SaveOpenTest, FormatDialogLooksAsItShouldAndPreselectsText) {
    auto& w = openWindow();
    addEntries({{"甲"}});
    w.commands().save->trigger();
    QDialog* dialog = formatDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("选择保存格式"));
    EXPECT_EQ(dialog->size(), QSize(256, 53));
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(radio("RadioSpreadsheet")->text(), QStringLiteral("EXCEL格式"));
    EXPECT_EQ(radio("RadioText")->text(), QStringLiteral("文本格式"));
    // No remembered format yet: the text format is pre-selected.
    EXPECT_TRUE(radio("RadioText")->isChecked());
    auto* check = dialog->findChild<QCheckBox*>(QStringLiteral("CheckSaveProfile"));
    EXPECT_EQ(check->text(), QStringLiteral("保存简介项"));
    EXPECT_FALSE(check->isChecked());
    auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("ButtonConfirm"));
    EXPECT_EQ(ok->text(), QStringLiteral("确定"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(dialog->findChild<QPushButton*>(QStringLiteral("ButtonCancel"))->text(),
              QStringLiteral("取消"));

    // Cancel closes it and changes nothing.
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("ButtonCancel")),
                      Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(dialogs_.saveRequests.empty());
    EXPECT_FALSE(std::filesystem::exists(notePath()));
}

// Either choice is remembered even when the file dialog is then cancelled,
// and the open command pre-selects its filter.
TEST_F(SaveOpenTest, FormatChoiceIsRememberedEvenWhenTheFileDialogIsCancelled) {
    struct Case {
        bool spreadsheet;
        QString filter, suffix;
        std::string remembered;
        int openSelected;
    };
    const Case cases[] = {
        {false, QStringLiteral("文本文件 (*.txt)"), QStringLiteral("txt"), "2", 1},
        {true, QStringLiteral("Microsoft Excel 工作簿 (*.xlsx)"), QStringLiteral("xlsx"), "1", 0},
    };
    auto& w = openWindow();
    addEntries({{"甲"}});
    for (const Case& c : cases) {
        saveAs(c.spreadsheet, false);
        EXPECT_FALSE(formatDialog()->isVisible());
        EXPECT_EQ(dialogs_.saveRequests.back().filters, QStringList{c.filter});
        EXPECT_EQ(dialogs_.saveRequests.back().suffix, c.suffix);
        EXPECT_EQ(rememberedInFile(), c.remembered);
        EXPECT_EQ(statusText(StatusFields::Text), QString());  // cancelled: unchanged
        w.commands().open->trigger();
        EXPECT_EQ(dialogs_.openRequests.back().selected, c.openSelected);
        EXPECT_EQ(dialogs_.openRequests.back().filters, gui::files::openFilters());
    }

    // The next save command pre-selects the spreadsheet, the open command
    // too after a restart.
    w.commands().save->trigger();
    EXPECT_TRUE(radio("RadioSpreadsheet")->isChecked());
    formatDialog()->close();
    closeWindow();
    openWindow().commands().open->trigger();
    EXPECT_EQ(dialogs_.openRequests.back().selected, 0);
}

TEST(ProposedFileName, JoinsProvinceAndKeywordOrFallsBackToTheDate) {
    using gui::files::proposedFileName;
    QDate day(2024, 3, 7);
    QLocale china(QLocale::Chinese, QLocale::China);
    const QString cases[][3] = {
        {QStringLiteral("手机"), QStringLiteral("(省份)"), QStringLiteral("手机")},
        {QStringLiteral("手机"), QString(), QStringLiteral("手机")},
        {QStringLiteral("手机"), QStringLiteral("浙江"), QStringLiteral("浙江-手机")},
        // A keyword cannot smuggle a folder into the name.
        {QStringLiteral("a/b:c"), QString(), QStringLiteral("a-b-c")},
    };
    for (const auto& [keyword, province, expected] : cases)
        EXPECT_EQ(proposedFileName(keyword, province, day, china), expected)
            << keyword.toStdString();
    QString date = proposedFileName(QString(), QStringLiteral("浙江"), day, china);
    EXPECT_EQ(
        date,
        china.toString(day, QLocale::ShortFormat).replace(QLatin1Char('/'), QLatin1Char('-')));
    EXPECT_TRUE(date.contains(QStringLiteral("2024")));
}

// Without a keyword the date a Chinese user reads, not the C locale's
// "6 Dec 2026".
TEST_F(SaveOpenTest, SaveDialogProposesTheNameFromTheBoxes) {
    auto& w = openWindow();
    addEntries({{"甲"}});
    w.commands().provinceBox->setCurrentIndex(9);
    setKeyword(QStringLiteral("手机"));
    saveAs(false, false);
    EXPECT_EQ(dialogs_.saveRequests.back().proposed, QStringLiteral("浙江-手机"));

    setKeyword(QString());
    auto form = [](const QDate& d) {
        return QStringLiteral("%1-%2-%3").arg(d.year()).arg(d.month()).arg(d.day());
    };
    QString before = form(QDate::currentDate());
    saveAs(false, false);
    QString after = form(QDate::currentDate());
    ASSERT_EQ(dialogs_.saveRequests.size(), 2u);
    QString proposed = dialogs_.saveRequests.back().proposed;
    EXPECT_TRUE(proposed == before || proposed == after) << proposed.toStdString();
}

TEST_F(SaveOpenTest, TextExportAndImportRoundTripThroughTheCommands) {
    auto& w = openWindow();
    sampleList();
    ShowCounter busy;
    w.findChild<QWidget*>(QStringLiteral("TForm11"))->installEventFilter(&busy);
    std::string file = dir_.file("list.txt");
    dialogs_.saveNames = {QString::fromStdString(file)};
    saveAs(false, /*withProfile=*/true);
    EXPECT_EQ(statusText(StatusFields::Text).left(8), QStringLiteral("正在保存企业信息"));
    ASSERT_TRUE(waitUntil([&] { return ioRunsEnded(); }));
    EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral("保存企业信息完成"));
    EXPECT_GE(busy.shows, 1);
    EXPECT_FALSE(w.findChild<QWidget*>(QStringLiteral("TForm11"))->isVisible());
    std::string text = readFile(file);
    EXPECT_EQ(text.substr(0, 7), gbk::fromUtf8("·[1]") + "\r\n");
    EXPECT_NE(text.find(gbk::fromUtf8("简介甲")), std::string::npos);

    // Import it back with the text filter: two more entries, IDs as in the file.
    setKeyword(QStringLiteral("手机"));
    dialogs_.openChoices = {{QString::fromStdString(file), gui::files::kTextFilter}};
    w.commands().open->trigger();
    EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral("正在导入企业信息......"));
    ASSERT_TRUE(waitUntil([&] { return ioRunsEnded() && w.model()->rowCount() == 4; }));
    EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral("导入企业信息完成"));
    EXPECT_EQ(statusText(StatusFields::Count), QStringLiteral("4"));
    EXPECT_EQ(w.commands().keywordBox->currentText(), QString());
    for (int c = 0; c < kColumns; ++c) EXPECT_EQ(w.list().field(2, c), w.list().field(0, c)) << c;
    EXPECT_EQ(w.list().field(3, Column::Id), "2");
}

TEST_F(SaveOpenTest, ExistingTextFileIsReplacedOnlyAfterYes) {
    auto& w = openWindow();
    sampleList();
    std::string file = dir_.file("old.txt");
    writeFile(file, "old");
    dialogs_.saveNames = {QString::fromStdString(file)};
    dialogs_.answers = {false};
    setKeyword({});
    saveAs(false, false);
    ASSERT_EQ(dialogs_.questions.size(), 1u);
    EXPECT_EQ(dialogs_.questions[0].text,
              QString::fromStdString(file) + QStringLiteral("已经存在，覆盖吗"));
    EXPECT_EQ(dialogs_.questions[0].icon, gui::DialogService::Icon::Information);
    EXPECT_EQ(readFile(file), "old");
    EXPECT_EQ(statusText(StatusFields::Text), QString());
    EXPECT_EQ(w.ioCommands()->runsUnderWay(), 0);

    dialogs_.saveNames = {QString::fromStdString(file)};
    dialogs_.answers = {true};
    saveAs(false, false);
    ASSERT_TRUE(waitUntil([&] { return ioRunsEnded(); }));
    EXPECT_NE(readFile(file), "old");
    EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral("保存企业信息完成"));
}

TEST_F(SaveOpenTest, SpreadsheetExportAndImportThroughTheCommands) {
    auto& w = openWindow();
    sampleList();
    std::string file = dir_.file("list.xlsx");
    dialogs_.saveNames = {QString::fromStdString(file)};
    saveAs(true, true);
    ASSERT_TRUE(waitUntil([&] { return ioRunsEnded(); }));
    EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral("保存企业信息完成"));
    ASSERT_TRUE(std::filesystem::exists(file));

    // Declining to replace it ends as a cancelled save and leaves the file.
    auto before = std::filesystem::last_write_time(file);
    dialogs_.saveNames = {QString::fromStdString(file)};
    dialogs_.answers = {false};
    saveAs(true, true);
    EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral("已经取消保存"));
    EXPECT_EQ(std::filesystem::last_write_time(file), before);

    dialogs_.openChoices = {{QString::fromStdString(file), gui::files::kSpreadsheetFilter}};
    w.commands().open->trigger();
    ASSERT_TRUE(waitUntil([&] { return ioRunsEnded() && w.model()->rowCount() == 4; }));
    EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral("导入企业信息完成"));
    for (int c = 0; c < kColumns; ++c) EXPECT_EQ(w.list().field(3, c), w.list().field(1, c)) << c;
}

TEST_F(SaveOpenTest, ImportFollowsTheChosenFilterNotTheExtension) {
    auto& w = openWindow();
    std::string file = dir_.file("list.txt");
    writeFile(file, gbk::fromUtf8("·[7]\r\n丙公司\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"));
    // A text file opened with the spreadsheet filter goes to the spreadsheet import.
    dialogs_.openChoices = {{QString::fromStdString(file), gui::files::kSpreadsheetFilter}};
    w.commands().open->trigger();
    ASSERT_TRUE(waitUntil([&] { return ioRunsEnded(); }));
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(dialogs_.messages[0].text,
              QStringLiteral("初始化Excel失败，未安装Excel。请重试或导入TXT格式文件。"));
    EXPECT_EQ(w.list().size(), 0u);
    EXPECT_FALSE(w.findChild<QWidget*>(QStringLiteral("TForm11"))->isVisible());

    // "所有文件" names no format: nothing is imported, and the status says so.
    dialogs_.openChoices = {{QString::fromStdString(file), gui::files::kAllFilesFilter}};
    w.commands().open->trigger();
    settle();
    EXPECT_EQ(w.ioCommands()->runsUnderWay(), 0);
    EXPECT_EQ(w.list().size(), 0u);
    EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral("未导入：请选择文件类型"));

    // A cancelled open dialog changes nothing.
    w.statusFields()->setText(StatusFields::Text, QStringLiteral("x"));
    w.commands().open->trigger();
    EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral("x"));

    dialogs_.openChoices = {{QString::fromStdString(file), gui::files::kTextFilter}};
    w.commands().open->trigger();
    ASSERT_TRUE(waitUntil([&] { return ioRunsEnded() && w.list().size() == 1u; }));
    EXPECT_EQ(w.list().field(0, Column::Id), "7");
}

// The notice stays on top of the window; a message box shown while it is up
// (a failed save, say) must not lie under it.
TEST_F(SaveOpenTest, MessageBoxShownDuringARunIsNotCoveredByTheBusyNotice) {
    auto& w = openWindow();
    auto* notice = w.findChild<gui::BusyNotice*>(QStringLiteral("TForm11"));
    ASSERT_NE(notice, nullptr);
    notice->setBusy(true);
    settle();
    ASSERT_TRUE(notice->isVisible());

    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        settle();
        EXPECT_TRUE(!notice->isVisible() ||
                    !notice->frameGeometry().intersects(box->frameGeometry()));
        checked = true;
        box->button(QMessageBox::Ok)->click();
    });
    gui::QtDialogService dialogs;
    dialogs.message(&w, QStringLiteral("提示"), QStringLiteral("保存企业信息失败"));
    EXPECT_TRUE(checked);
    settle();
    // The run goes on: the notice is back once the box has gone.
    EXPECT_TRUE(notice->isVisible());
    notice->setBusy(false);
    EXPECT_FALSE(notice->isVisible());
}

TEST(BusyNotice, StaysUpUntilTheLastRunHasEnded) {
    QWidget owner;
    gui::BusyNotice notice(&owner);
    EXPECT_EQ(notice.objectName(), QStringLiteral("TForm11"));
    EXPECT_EQ(notice.size(), QSize(223, 30));
    EXPECT_TRUE(notice.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(notice.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    notice.setBusy(true);
    notice.setBusy(true);
    EXPECT_TRUE(notice.isVisible());
    notice.setBusy(false);
    EXPECT_TRUE(notice.isVisible());
    notice.setBusy(false);
    EXPECT_FALSE(notice.isVisible());
    notice.setBusy(false);
    EXPECT_EQ(notice.runs(), 0);
}

}  // namespace
}  // namespace velmora::testing
