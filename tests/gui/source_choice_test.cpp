// The "搜索来源" submenu: its items and first-start state, the choice kept in
// note.ini beside the other lines, the last checked item kept, unusable
// sources disabled, and a search from the window starting exactly the chosen
// sources of the demo sites.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <set>

#include "app/gui/input_boxes.h"
#include "app/gui/source_choice.h"
#include "app/gui/status_fields.h"
#include "gui_fixture.h"
#include "platform/ini_file.h"
#ifdef VELMORA_HAVE_DEMO_SITES
#include "demo/demo_sites.h"
#endif

namespace velmora::testing {
namespace {

using gui::StatusFields;

class SourceChoiceTest : public WindowTest {
  protected:
    QAction* item(int source) {
        return window().findChild<QAction*>(QStringLiteral("Source%1").arg(source));
    }
    static SiteConfig allAddresses() {
        SiteConfig sites;
        sites.websearch = sites.alibaba = sites.scriptDirectory = sites.detailDirectory =
            sites.portal = sites.yellowPages = sites.regional = "http://127.0.0.1:1";
        return sites;
    }
};

TEST_F(SourceChoiceTest, SubmenuFollowsTheResearchItemWithSevenItemsTwoAndSevenChecked) {
    auto& w = openWindow(allAddresses());
    auto* settings = w.findChild<QMenu*>(QStringLiteral("MenuSettings"));
    ASSERT_NE(settings, nullptr);
    QList<QAction*> entries = settings->actions();
    int research = static_cast<int>(entries.indexOf(w.commands().research));
    ASSERT_GE(research, 0);
    ASSERT_LT(research + 1, entries.size());
    QMenu* sources = entries[research + 1]->menu();
    ASSERT_NE(sources, nullptr);
    EXPECT_EQ(sources->objectName(), QStringLiteral("SourcesMenu"));
    EXPECT_EQ(sources->title(), QStringLiteral("搜索来源"));

    const QStringList captions = {"1 网页搜索",
                                  "2 阿里巴巴企业搜索",
                                  "3 企业名录（脚本资料）",
                                  "4 企业名录（详细资料）",
                                  "5 门户企业搜索",
                                  "6 黄页",
                                  "7 地区企业名录"};
    ASSERT_EQ(sources->actions().size(), 7);
    for (int s = 1; s <= 7; ++s) {
        QAction* a = sources->actions()[s - 1];
        EXPECT_EQ(a, item(s));
        EXPECT_EQ(a->text(), captions[s - 1]);
        EXPECT_TRUE(a->isCheckable());
        EXPECT_EQ(a->isChecked(), s == 2 || s == 7) << s;
    }
    // Nothing is written until the choice changes.
    EXPECT_EQ(noteIni(), "");
}

TEST_F(SourceChoiceTest, ChoiceIsStoredWithTheOtherLinesKeptAndReadAtStartUp) {
    writeFile(notePath(), "; mine\r\n[province]\r\nnum=9\r\n[noterecord]\r\nnum=0\r\n0=abc\r\n");
    openWindow(allAddresses());
    item(2)->trigger();  // off
    EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral("搜索来源：7"));
    item(2)->trigger();  // on
    EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral("搜索来源：2, 7"));
    item(7)->trigger();  // off
    EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral("搜索来源：2"));
    EXPECT_EQ(IniFile(notePath()).read("sources", "on"), "2");
    std::string text = noteIni();
    for (const char* line : {"; mine", "num=9", "0=abc"})
        EXPECT_NE(text.find(line), std::string::npos) << line;

    closeWindow();
    openWindow(allAddresses());
    for (int s = 1; s <= 7; ++s) EXPECT_EQ(item(s)->isChecked(), s == 2) << s;
    EXPECT_EQ(window().commands().keywordBox->currentText(), QStringLiteral("abc"));
}

TEST_F(SourceChoiceTest, TheLastCheckedItemCannotBeUnchecked) {
    openWindow(allAddresses());
    item(2)->trigger();
    item(7)->trigger();  // the only one left
    EXPECT_TRUE(item(7)->isChecked());
    EXPECT_EQ(IniFile(notePath()).read("sources", "on"), "7");
    EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral("至少要选择一个搜索来源"));
}

TEST_F(SourceChoiceTest, SourceWithoutAnAddressIsDisabledWithAReason) {
    SiteConfig sites = allAddresses();
    sites.alibaba.clear();
    auto& w = openWindow(sites);
    EXPECT_FALSE(item(2)->isEnabled());
    EXPECT_EQ(item(2)->toolTip(), QStringLiteral("sites.ini 中未设置该来源的网址"));
    EXPECT_TRUE(item(7)->isEnabled());
    EXPECT_TRUE(item(7)->toolTip().isEmpty() || item(7)->toolTip() == item(7)->text());
    EXPECT_EQ(w.commands().sources->startable(), std::vector<int>{7});
}

#ifdef VELMORA_HAVE_DEMO_SITES
TEST_F(SourceChoiceTest, SearchStartsExactlyTheChosenSources) {
    demo::DemoOptions o;
    o.companies = 12;
    o.pageSize = 5;
    o.pageBytes = 4 * 1024;
    demo::DemoSites sites(o);
    auto& w = openWindow(sites.siteConfig());
    QStringList shown;
    QObject::connect(&w, &gui::MainWindow::runStatusShown,
                     [&](const QString& text) { shown << text; });

    auto harvest = [&](int source) {
        std::multiset<std::string> expected, listed;
        for (const auto& company : sites.expected(source, gbk::fromUtf8("手机"), "000000"))
            expected.insert(company[Field::Name]);
        size_t before = w.list().size();
        shown.clear();
        setKeyword(QStringLiteral("手机"));
        w.commands().search->trigger();
        EXPECT_TRUE(waitUntil([&] {
            return statusText(StatusFields::RunStatus) == QStringLiteral("搜索完毕:手机");
        }));
        for (size_t r = before; r < w.list().size(); ++r)
            listed.insert(std::string(w.list().field(r, Column::Name)));
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(listed, expected) << source;
        // One source running: one pair of marks.
        EXPECT_TRUE(shown.contains(QStringLiteral("开始线程>>")));
        EXPECT_FALSE(shown.contains(QStringLiteral("开始线程>>>>")));
    };
    item(2)->trigger();  // only 7
    harvest(7);
    item(2)->trigger();
    item(7)->trigger();  // only 2
    harvest(2);
}
#endif

}  // namespace
}  // namespace velmora::testing
