// The window's journal: entries that a close or a crash left unsaved are
// offered back at the next start; Yes restores the list as it stood, No keeps
// the journal aside; a saved list asks nothing.
#include <QAction>

#include <filesystem>

#include "app/engine/journal_reader.h"
#include "app/gui/company_list_model.h"
#include "app/gui/status_fields.h"
#include "app/gui/window_journal.h"
#include "gui_fixture.h"

namespace velmora::testing {
namespace {

using gui::StatusFields;

class JournalRecoveryTest : public WindowTest {
  protected:
    std::string journalPath() const { return dir_.file("velmora.journal"); }
    bool exists(const std::string& path) const { return std::filesystem::exists(path); }
    size_t entriesIn(const std::string& path) {
        JournalFile file;
        std::string error;
        EXPECT_TRUE(readJournal(path, file, error));
        return summarize(file.scan).entries;
    }
    void saveAsText(const std::string& path) {
        dialogs_.saveNames.push_back(QString::fromStdString(path));
        saveAs(/*spreadsheet=*/false, false);
        ASSERT_TRUE(waitUntil([&] { return ioRunsEnded(); }));
        settle();
    }
    std::vector<std::string> ids() {
        std::vector<std::string> v;
        for (size_t r = 0; r < window().list().size(); ++r)
            v.emplace_back(window().list().field(r, Column::Id));
        return v;
    }
};

TEST_F(JournalRecoveryTest, YesPutsTheListBackAsItStoodWithItsIdsAndCount) {
    openWindow();
    addEntries({{"杭州甲电子有限公司", "0571-1"}, {"宁波乙贸易公司"}});
    // An entry read from a file keeps the ID the file gave it.
    RecordSlot imported;
    imported[Field::Name] = gbk::fromUtf8("温州丙公司");
    window().list().addEntry("88", imported);
    window().model()->flush();
    closeWindow();  // an accidental close: nothing was saved
    ASSERT_TRUE(exists(journalPath()));
    EXPECT_TRUE(dialogs_.questions.empty());

    dialogs_.answers = {true};
    auto& w = openWindow();
    ASSERT_EQ(dialogs_.questions.size(), 1u);
    EXPECT_EQ(dialogs_.questions[0].text, QStringLiteral("上次有 3 条企业信息未保存，是否恢复？"));
    EXPECT_EQ(dialogs_.questions[0].icon, gui::DialogService::Icon::Question);
    EXPECT_EQ(ids(), (std::vector<std::string>{"1", "2", "88"}));
    EXPECT_EQ(w.list().field(2, Column::Name), gbk::fromUtf8("温州丙公司"));
    EXPECT_EQ(w.list().field(0, Column::Phone), "0571-1");
    ASSERT_TRUE(waitUntil([&] { return statusText(StatusFields::Count) == "3"; }));
    EXPECT_TRUE(w.commands().save->isEnabled());

    // The next search intake counts on from the restored list.
    addEntries({{"新公司"}});
    EXPECT_EQ(ids().back(), "4");
    closeWindow();
    EXPECT_EQ(entriesIn(journalPath()), 4u);
}

TEST_F(JournalRecoveryTest, NoKeepsTheJournalAsideAndStartsEmpty) {
    openWindow();
    addEntries({{"甲"}, {"乙"}});
    closeWindow();

    dialogs_.answers = {false};
    auto& w = openWindow();
    ASSERT_EQ(dialogs_.questions.size(), 1u);
    EXPECT_EQ(w.list().size(), 0u);
    ASSERT_TRUE(exists(journalPath() + ".old"));
    EXPECT_EQ(entriesIn(journalPath() + ".old"), 2u);

    // Only one generation is kept: the next "No" replaces it.
    addEntries({{"丙"}});
    closeWindow();
    dialogs_.answers = {false};
    openWindow();
    ASSERT_EQ(dialogs_.questions.size(), 2u);
    EXPECT_EQ(dialogs_.questions[1].text, QStringLiteral("上次有 1 条企业信息未保存，是否恢复？"));
    EXPECT_EQ(entriesIn(journalPath() + ".old"), 1u);
}

TEST_F(JournalRecoveryTest, ASavedListAsksNothingAndOnlyWhatCameAfterTheSaveCounts) {
    openWindow();
    addEntries({{"甲"}, {"乙"}});
    saveAsText(dir_.file("list.txt"));
    ASSERT_TRUE(exists(dir_.file("list.txt")));
    closeWindow();
    EXPECT_FALSE(exists(journalPath()));  // everything saved: nothing to offer

    openWindow();
    EXPECT_TRUE(dialogs_.questions.empty());
    addEntries({{"甲"}, {"乙"}});
    saveAsText(dir_.file("list2.txt"));
    addEntries({{"丙"}});
    closeWindow();

    dialogs_.answers = {true};
    openWindow();
    ASSERT_EQ(dialogs_.questions.size(), 1u);
    EXPECT_EQ(dialogs_.questions[0].text, QStringLiteral("上次有 1 条企业信息未保存，是否恢复？"));
    EXPECT_EQ(window().list().size(), 3u);  // the list as it stood, saved part included
    // Still one unsaved entry: closing again keeps the journal.
    closeWindow();
    EXPECT_TRUE(exists(journalPath()));
}

TEST_F(JournalRecoveryTest, ASecondWindowKeepsAJournalOfItsOwnAndGetsItBack) {
    openWindow();  // holds velmora.journal
    std::string second = gui::WindowJournal::slotPath(dir_.path().string(), 2);
    {
        CompanyList list;
        gui::WindowJournal journal(dir_.path().string(), list);
        journal.start(dialogs_, nullptr);
        EXPECT_EQ(journal.path(), second);
        RecordSlot slot;
        for (const char* name : {"甲", "乙"}) {
            slot[Field::Name] = gbk::fromUtf8(name);
            list.intake(slot);
        }
        journal.runEnded();
    }  // closed with both entries unsaved
    EXPECT_EQ(entriesIn(second), 2u);
    closeWindow();

    // The next window finds them, though velmora.journal is free.
    dialogs_.answers = {true};
    openWindow();
    ASSERT_EQ(dialogs_.questions.size(), 1u);
    EXPECT_EQ(dialogs_.questions[0].text, QStringLiteral("上次有 2 条企业信息未保存，是否恢复？"));
    EXPECT_EQ(window().list().size(), 2u);
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(JournalRecoveryTest, AJournalThatCannotBeWrittenIsReportedOnce) {
    std::filesystem::create_directory(journalPath());  // in the journal's way
    openWindow();
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_TRUE(dialogs_.messages[0].text.startsWith(QStringLiteral("企业信息日志无法写入（")));
    addEntries({{"甲"}});
    EXPECT_EQ(window().list().size(), 1u);  // the window works on without it
    EXPECT_EQ(dialogs_.messages.size(), 1u);
}

}  // namespace
}  // namespace velmora::testing
