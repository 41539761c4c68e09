// Whole harvests against the bundled demo sites on loopback.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "app/engine/run_control.h"
#include "demo/demo_sites.h"
#include "platform/queue_executor.h"
#include "sources/registry.h"
#include "support/demo_harvest.h"
#include "support/test_support.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using testing::DemoHarvest;
using testing::describe;
using testing::expectSameRecords;
using testing::g;
using Harvest = DemoHarvest;

TEST(HarvestEndToEnd, RegionalDirectoryAloneWithEmailLookup) {
    Harvest h;
    ASSERT_TRUE(h.run(g("手机"), g("浙江"), {7}));
    auto expected = h.sites.expected(7, g("手机"), "330000");
    ASSERT_FALSE(expected.empty());
    expectSameRecords(h, expected);
    EXPECT_EQ(h.control->runStatus(), g("搜索完毕:") + g("手机"));
}

TEST(HarvestEndToEnd, AlibabaAlone) {
    Harvest h;
    ASSERT_TRUE(h.run(g("阀门"), g("(省份)"), {2}));
    expectSameRecords(h, h.sites.expected(2, g("阀门"), ""));
}

TEST(HarvestEndToEnd, ProvinceOnlySearch) {
    Harvest h;
    ASSERT_TRUE(h.run("", g("北京"), {7, 2}));
    auto seven = h.sites.expected(7, "", "110000");
    auto two = h.sites.expected(2, "", "110000");
    EXPECT_EQ(h.list.size(), seven.size() + two.size());
}

TEST(HarvestEndToEnd, BothSourcesInterleaveAndAllArrive) {
    Harvest h;
    ASSERT_TRUE(h.run(g("手机 配件"), g("广东"), {7, 2}));
    auto seven = h.sites.expected(7, g("手机+配件"), "440000");
    auto two = h.sites.expected(2, g("手机+配件"), "440000");
    std::vector<std::string> want, got;
    for (const auto& r : seven) want.push_back(describe(r));
    for (const auto& r : two) want.push_back(describe(r));
    for (size_t i = 0; i < h.list.size(); ++i) {
        got.push_back(describe(h.record(i)));
        EXPECT_EQ(h.list.field(i, Column::Id), std::to_string(i + 1));
    }
    std::sort(want.begin(), want.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, want);
}

TEST(HarvestEndToEnd, BothFormPostingDirectoriesTogether) {
    Harvest h;
    ASSERT_TRUE(h.run(g("阀门"), g("江苏"), {4, 3}));
    std::vector<std::string> want, got;
    for (int s : {3, 4})
        for (const auto& r : h.sites.expected(s, g("阀门"), "320000")) want.push_back(describe(r));
    for (size_t i = 0; i < h.list.size(); ++i) {
        got.push_back(describe(h.record(i)));
        EXPECT_EQ(h.list.field(i, Column::Id), std::to_string(i + 1));
    }
    ASSERT_FALSE(want.empty());
    std::sort(want.begin(), want.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, want);
}

TEST(HarvestEndToEnd, SameNameFilterKeepsEachNameOnce) {
    Harvest h;
    h.list.setSameNameFilter(true);
    ASSERT_TRUE(h.run(g("手机"), g("浙江"), {7, 2}));
    std::map<std::string, int> names;
    for (size_t i = 0; i < h.list.size(); ++i) ++names[std::string(h.list.field(i, Column::Name))];
    for (const auto& [name, count] : names) EXPECT_EQ(count, 1) << gbk::toUtf8(name);
    std::map<std::string, int> distinct;
    for (const auto& r : h.sites.expected(7, g("手机"), "330000")) ++distinct[r[Field::Name]];
    for (const auto& r : h.sites.expected(2, g("手机"), "330000")) ++distinct[r[Field::Name]];
    EXPECT_EQ(names.size(), distinct.size());
    EXPECT_LT(distinct.size(), h.sites.expected(7, g("手机"), "330000").size() +
                                   h.sites.expected(2, g("手机"), "330000").size())
        << "the demo data should give both sources some of the same companies";
}

TEST(HarvestEndToEnd, WithoutResearchMissingAddressesStayEmpty) {
    Harvest h;
    ASSERT_TRUE(h.run(g("手机"), g("浙江"), {7}, /*research=*/false));
    auto expected = h.sites.expected(7, g("手机"), "330000");
    ASSERT_EQ(h.list.size(), expected.size());
    long long before = h.sites.requestCount();
    (void)before;
    int emptied = 0;
    for (size_t i = 0; i < expected.size(); ++i)
        if (h.list.field(i, Column::Email).empty()) ++emptied;
    EXPECT_GT(emptied, 0) << "some demo companies have no address on their own page";
}

TEST(HarvestEndToEnd, AStopInTheMiddleEndsQuickly) {
    demo::DemoOptions options;
    options.faults.push_back({7, demo::Fault::Detail, 3, demo::Fault::Hang, 0});
    options.faults.push_back({2, demo::Fault::Detail, 3, demo::Fault::Hang, 0});
    Harvest h(options);
    SiteConfig config = h.sites.siteConfig();
    h.control = std::make_unique<RunControl>(h.executor, h.list, config, makeSources(config));
    ASSERT_TRUE(h.control->searchStart(g("手机"), "", {7, 2}));
    // Serve until both sources sit on their hanging third company.
    h.executor.runUntil([&] { return h.list.size() >= 4; }, 30s);
    h.executor.runUntil([] { return false; }, 200ms);
    h.control->stop();
    EXPECT_TRUE(h.executor.runUntil([&] { return !h.control->searching(); }, 3s));
    EXPECT_EQ(h.list.size(), 4u);
}

TEST(HarvestEndToEnd, EndlessPagersEndAtTheLastRealPage) {
    // A disabled "下一页" on the last page, then an empty page or the last page
    // again beyond it: the run ends, and nothing is taken in twice.
    for (demo::PagerEnd end : {demo::PagerEnd::EmptyBeyond, demo::PagerEnd::LastAgain}) {
        demo::DemoOptions options;
        options.pagerEnd = end;
        Harvest h(options);
        ASSERT_TRUE(h.run(g("手机"), g("浙江"), {7}, /*research=*/false, 20s))
            << static_cast<int>(end);
        auto expected = h.sites.expected(7, g("手机"), "330000");
        EXPECT_EQ(h.list.size(), expected.size()) << static_cast<int>(end);
    }
}

TEST(HarvestEndToEnd, FailingPagesCostOnlyThemselves) {
    demo::DemoOptions options;
    options.faults.push_back({7, demo::Fault::Detail, 2, demo::Fault::Status500, 0});
    options.faults.push_back({7, demo::Fault::Detail, 4, demo::Fault::DropMidBody, 0});
    options.faults.push_back({7, demo::Fault::Detail, 5, demo::Fault::Redirect, 0});
    options.faults.push_back({7, demo::Fault::Detail, 6, demo::Fault::Garbage, 0});
    Harvest h(options);
    ASSERT_TRUE(h.run(g("手机"), g("浙江"), {7}));
    auto expected = h.sites.expected(7, g("手机"), "330000");
    std::vector<demo::DemoCompany> kept;
    for (size_t i = 0; i < expected.size(); ++i)
        if (i + 1 != 2 && i + 1 != 4 && i + 1 != 5 && i + 1 != 6) kept.push_back(expected[i]);
    expectSameRecords(h, kept);
}

}  // namespace
}  // namespace velmora
