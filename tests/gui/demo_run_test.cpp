// A search from the window against the demo sites on loopback: the run status
// texts from the start to "搜索完毕:", the list filled with exactly the
// companies the sites hold, and a stop in the middle of a run.
#ifdef VELMORA_HAVE_DEMO_SITES

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QTableView>

#include <set>

#include "app/gui/company_list_model.h"
#include "app/gui/input_boxes.h"
#include "app/gui/source_choice.h"
#include "app/gui/status_fields.h"
#include "demo/demo_sites.h"
#include "gui_fixture.h"

namespace velmora::testing {
namespace {

using gui::StatusFields;

class DemoRunTest : public WindowTest {
  protected:
    DemoRunTest() : sites_(options()) {}

    static demo::DemoOptions options() {
        demo::DemoOptions o;
        o.companies = 24;
        o.pageSize = 8;
        o.pageBytes = 4 * 1024;
        return o;
    }

    gui::MainWindow& windowOnDemoSites() {
        auto& w = openWindow(sites_.siteConfig());
        QObject::connect(&w, &gui::MainWindow::runStatusShown,
                         [this](const QString& text) { shown_ << text; });
        return w;
    }

    void startSearch(const QString& keyword, int provinceIndex) {
        setKeyword(keyword);
        pickProvince(provinceIndex);
        window().commands().search->trigger();
    }

    bool finished(const QString& keyword) {
        return statusText(StatusFields::RunStatus) == QStringLiteral("搜索完毕:") + keyword &&
               window().commands().search->isEnabled();
    }

    std::multiset<std::string> listedNames() {
        std::multiset<std::string> names;
        for (size_t r = 0; r < window().list().size(); ++r)
            names.insert(std::string(window().list().field(r, Column::Name)));
        return names;
    }

    demo::DemoSites sites_;
    QStringList shown_;
};

TEST_F(DemoRunTest, SearchRunsFromStartToFinishAndFillsTheList) {
    auto& w = windowOnDemoSites();
    startSearch(QStringLiteral("手机"), 9);  // 浙江
    EXPECT_TRUE(w.commands().stop->isEnabled());
    ASSERT_TRUE(waitUntil([&] { return finished(QStringLiteral("手机")); }));

    // The run status texts in between: both sources running, then one.
    ASSERT_GE(shown_.size(), 4);
    EXPECT_EQ(shown_.first(), QStringLiteral("开始线程>>>>>>>>>>>>"));
    EXPECT_TRUE(shown_.contains(QStringLiteral("开始线程>>>>")));
    EXPECT_TRUE(shown_.contains(QStringLiteral("开始线程>>")));
    EXPECT_EQ(shown_.last(), QStringLiteral("搜索完毕:手机"));
    EXPECT_LT(shown_.indexOf(QStringLiteral("开始线程>>>>")),
              shown_.lastIndexOf(QStringLiteral("开始线程>>")));

    std::multiset<std::string> expected;
    for (int source : {2, 7})
        for (const auto& company : sites_.expected(source, gbk::fromUtf8("手机"), "330000"))
            expected.insert(company[Field::Name]);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(listedNames(), expected);
    ASSERT_TRUE(
        waitUntil([&] { return w.model()->rowCount() == static_cast<int>(expected.size()); }));
    EXPECT_EQ(statusText(StatusFields::Count), QString::number(expected.size()));
    EXPECT_TRUE(w.commands().save->isEnabled());
    // IDs count from 1 in arrival order.
    for (size_t r = 0; r < w.list().size(); ++r)
        EXPECT_EQ(w.list().field(r, Column::Id), std::to_string(r + 1));

    // Selecting an entry shows it in the detail panel.
    w.listView()->selectRow(0);
    settle();
    EXPECT_EQ(statusText(StatusFields::Id), QStringLiteral("1"));

    // A second run appends; IDs go on from the count.
    size_t first = w.list().size();
    shown_.clear();
    startSearch(QStringLiteral("配件"), 0);
    ASSERT_TRUE(waitUntil([&] { return finished(QStringLiteral("配件")); }));
    EXPECT_GT(w.list().size(), first);
    EXPECT_EQ(w.list().field(first, Column::Id), std::to_string(first + 1));
}

// Collects every tooltip a widget is given.
class TooltipLog : public QObject {
  public:
    using QObject::QObject;
    QStringList seen;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ToolTipChange)
            seen << static_cast<QWidget*>(watched)->toolTip();
        return QObject::eventFilter(watched, event);
    }
};

TEST_F(DemoRunTest, RunStatusAndCountTooltipsShowEachSourcesProgress) {
    auto& w = windowOnDemoSites();
    QLabel* runField = w.statusFields()->field(StatusFields::RunStatus);
    QLabel* countField = w.statusFields()->field(StatusFields::Count);
    EXPECT_EQ(runField->toolTip(), QString());
    TooltipLog log;
    runField->installEventFilter(&log);
    startSearch(QStringLiteral("手机"), 9);  // 浙江
    ASSERT_TRUE(waitUntil([&] { return finished(QStringLiteral("手机")); }));

    // Under way the figures moved step by step, while the status texts
    // stayed as they are (checked by the run tests).
    auto sawLine = [&](const QString& line) {
        for (const QString& tip : log.seen)
            if (tip.split(QLatin1Char('\n')).contains(line)) return true;
        return false;
    };
    EXPECT_TRUE(sawLine(QStringLiteral("7 地区企业名录：第 1 页；结果页 0，详细页 0，失败 0")));
    EXPECT_TRUE(sawLine(QStringLiteral("7 地区企业名录：第 1 页；结果页 1，详细页 1，失败 0")));
    EXPECT_TRUE(sawLine(QStringLiteral("2 阿里巴巴企业搜索：第 1 页；结果页 1，详细页 3，失败 0")));
    EXPECT_TRUE(sawLine(QStringLiteral("2 阿里巴巴企业搜索：第 2 页；结果页 2，详细页 8，失败 0")));
    EXPECT_GT(log.seen.size(), 20);

    QStringList lines = runField->toolTip().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    for (int i = 0; i < 2; ++i) {
        int source = i == 0 ? 7 : 2;  // in start order
        int pages = sites_.pageCount(source, gbk::fromUtf8("手机"), "330000");
        size_t companies = sites_.expected(source, gbk::fromUtf8("手机"), "330000").size();
        QString expected = QStringLiteral("%1：第 %2 页；结果页 %2，详细页 %3，失败 0；已结束")
                               .arg(gui::SourceChoice::caption(source))
                               .arg(pages)
                               .arg(companies);
        EXPECT_EQ(lines[i], expected);
    }
    EXPECT_EQ(countField->toolTip(), runField->toolTip());
    EXPECT_EQ(statusText(StatusFields::RunStatus), QStringLiteral("搜索完毕:手机"));
}

TEST_F(DemoRunTest, StopInTheMiddleEndsTheRunWithStoppingTexts) {
    auto& w = windowOnDemoSites();
    startSearch(QStringLiteral("手机"), 9);
    ASSERT_TRUE(waitUntil([&] { return w.list().size() >= 1; }));
    w.commands().stop->trigger();
    EXPECT_EQ(statusText(StatusFields::RunStatus), QStringLiteral("正在停止<<<<<<<<<<<<"));
    EXPECT_TRUE(w.commands().stop->isEnabled());  // stays enabled until the run has ended
    ASSERT_TRUE(waitUntil([&] { return finished(QStringLiteral("手机")); }));
    int stopAt = static_cast<int>(shown_.indexOf(QStringLiteral("正在停止<<<<<<<<<<<<")));
    ASSERT_GE(stopAt, 0);
    QStringList after = shown_.mid(stopAt);
    EXPECT_EQ(after.last(), QStringLiteral("搜索完毕:手机"));
    for (const QString& text : after.mid(1, after.size() - 2))
        EXPECT_TRUE(text == QStringLiteral("正在停止<") || text == QStringLiteral("正在停止"))
            << text.toStdString();
    size_t all = sites_.expected(2, gbk::fromUtf8("手机"), "330000").size() +
                 sites_.expected(7, gbk::fromUtf8("手机"), "330000").size();
    EXPECT_LT(w.list().size(), all);
    EXPECT_TRUE(w.commands().search->isEnabled());
    EXPECT_FALSE(w.commands().stop->isEnabled());
}

TEST_F(DemoRunTest, ClosingTheWindowDuringARunEndsCleanly) {
    auto& w = windowOnDemoSites();
    startSearch(QStringLiteral("手机"), 9);
    ASSERT_TRUE(waitUntil([&] { return w.list().size() >= 1; }));
    closeWindow();  // workers are released and joined; nothing runs on afterwards
    settle();
    SUCCEED();
}

TEST_F(DemoRunTest, ClosingTheWindowDuringAnImportEndsCleanly) {
    // A text file of 200,000 entries takes a while to import.
    std::string text;
    for (int i = 1; i <= 200000; ++i)
        text += gbk::fromUtf8("·[") + std::to_string(i) + "]\r\n" + gbk::fromUtf8("公司") +
                std::to_string(i) + "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
    std::string file = dir_.file("big.txt");
    writeFile(file, text);
    auto& w = windowOnDemoSites();
    dialogs_.openChoices = {{QString::fromStdString(file), 1}};
    w.commands().open->trigger();
    ASSERT_TRUE(waitUntil([&] { return w.list().size() >= 1; }));
    closeWindow();
    settle();
    SUCCEED();
}

}  // namespace
}  // namespace velmora::testing

#endif  // VELMORA_HAVE_DEMO_SITES
