// The company list's model and view: captions, widths, row colours, the
// coalesced publishing of appends, a list of a million entries, and the save
// command enabled by the first entry.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>

#include "app/gui/company_list_model.h"
#include "app/gui/status_fields.h"
#include "gui_fixture.h"

namespace velmora::testing {
namespace {

using gui::CompanyListModel;

void append(CompanyList& list, int n, const std::string& prefix = "公司") {
    for (int i = 0; i < n; ++i) {
        RecordSlot slot;
        slot[Field::Name] = gbk::fromUtf8(prefix + std::to_string(list.size() + 1));
        slot[Field::Phone] = "0571-" + std::to_string(i);
        list.intake(slot);
    }
}

TEST(CompanyListModel, PassesTheModelTesterWhileEntriesArrive) {
    CompanyList list;
    CompanyListModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    append(list, 3);
    model.flush();
    append(list, 5000);
    model.flush();
    EXPECT_EQ(model.rowCount(), 5003);
    EXPECT_EQ(model.columnCount(), 11);
}

TEST(CompanyListModel, ShowsGbkCellsAsTextAndCaptionsInListOrder) {
    CompanyList list;
    CompanyListModel model(list);
    RecordSlot slot;
    slot[Field::Name] = gbk::fromUtf8("杭州某某电子有限公司");
    slot[Field::Email] = "a@b.cn";
    list.intake(slot);
    model.flush();
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("1"));
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral("杭州某某电子有限公司"));
    EXPECT_EQ(model.data(model.index(0, 7)).toString(), QStringLiteral("a@b.cn"));
    QStringList captions;
    for (int c = 0; c < 11; ++c) captions << model.headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(captions, (QStringList{"ID", "企业名称", "电话", "联系人", "主管", "企业地址", "邮编",
                                     "E-mail", "网址", "传真", "简介"}));
    EXPECT_FALSE(model.flags(model.index(0, 1)).testFlag(Qt::ItemIsEditable));
}

TEST(CompanyListModel, OddRowsHaveTheCreamBackground) {
    CompanyList list;
    CompanyListModel model(list);
    append(list, 4);
    model.flush();
    for (int row = 0; row < 4; ++row) {
        QVariant background = model.data(model.index(row, 3), Qt::BackgroundRole);
        if (row % 2 == 1)
            EXPECT_EQ(background.value<QColor>(), QColor(255, 251, 240)) << row;
        else
            EXPECT_FALSE(background.isValid()) << row;
    }
    // Also after more entries were appended.
    append(list, 2);
    model.flush();
    EXPECT_EQ(model.data(model.index(5, 0), Qt::BackgroundRole).value<QColor>(),
              QColor(255, 251, 240));
    EXPECT_FALSE(model.data(model.index(4, 0), Qt::BackgroundRole).isValid());
}

TEST(CompanyListModel, ABurstOfAppendsIsPublishedInOneInsertion) {
    CompanyList list;
    CompanyListModel model(list);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    append(list, 2500);
    EXPECT_EQ(model.rowCount(), 0);  // not yet: published on the next turn of the loop
    settle();
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 2499);
    EXPECT_EQ(model.rowCount(), 2500);
}

class ListViewTest : public WindowTest {};

TEST_F(ListViewTest, ViewHasTheListLookAndColumnWidths) {
    auto& w = openWindow();
    QTableView* view = w.listView();
    EXPECT_EQ(view->objectName(), QStringLiteral("ListView1"));
    EXPECT_TRUE(view->showGrid());
    EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(view->isSortingEnabled());
    const int widths[] = {300, 200, 120, 110, 300, 88, 250, 300, 200, 100};
    for (int c = 1; c < 11; ++c) EXPECT_EQ(view->columnWidth(c), widths[c - 1]) << c;
    EXPECT_EQ(view->columnWidth(0), view->horizontalHeader()->defaultSectionSize());
}

TEST_F(ListViewTest, FirstEntryEnablesSaveAndRaisesTheCount) {
    auto& w = openWindow();
    EXPECT_FALSE(w.commands().save->isEnabled());
    addEntries({{"甲公司"}});
    EXPECT_TRUE(w.commands().save->isEnabled());
    EXPECT_EQ(statusText(gui::StatusFields::Count), QStringLiteral("1"));
    addEntries({{"乙公司"}, {"丙公司"}});
    EXPECT_EQ(statusText(gui::StatusFields::Count), QStringLiteral("3"));
}

TEST_F(ListViewTest, AMillionEntriesOpenScrollAndTakeMore) {
    auto& w = openWindow();
    append(w.list(), 1000000, "企业");
    ASSERT_TRUE(waitUntil([&] { return w.model()->rowCount() == 1000000; }));
    EXPECT_EQ(statusText(gui::StatusFields::Count), QStringLiteral("1000000"));
    QTableView* view = w.listView();
    view->scrollToBottom();
    settle();
    EXPECT_EQ(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());
    QModelIndex last = view->indexAt(QPoint(5, view->viewport()->height() - 3));
    EXPECT_GT(last.row(), 999000);
    view->selectRow(999999);
    settle();
    EXPECT_EQ(statusText(gui::StatusFields::Id), QStringLiteral("1000000"));
    append(w.list(), 10, "企业");
    ASSERT_TRUE(waitUntil([&] { return w.model()->rowCount() == 1000010; }));
    EXPECT_EQ(w.model()->data(w.model()->index(1000009, 1)).toString(),
              QStringLiteral("企业1000010"));
}

}  // namespace
}  // namespace velmora::testing
