// Whole harvests of the web search (source 1) against the demo search engine
// and the demo company homepages on loopback.
#include <gtest/gtest.h>

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
using testing::g;

// Source 1 alone, started by the search start.
struct WebSearchHarvest : DemoHarvest {
    using DemoHarvest::DemoHarvest;
    bool run(const std::string& keywordBox, const std::string& provinceBox) {
        return DemoHarvest::run(keywordBox, provinceBox, {1});
    }
};

TEST(WebSearchHarvest, EveryHitIsReadInOrderWithItsAddressAsWebsite) {
    WebSearchHarvest h;
    ASSERT_TRUE(h.run(g("手机"), g("浙江")));
    auto expected = h.sites.expected(1, g("手机"), "330000");
    ASSERT_GT(expected.size(), 20u);
    ASSERT_EQ(h.list.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(h.list.field(i, Column::Id), std::to_string(i + 1));
        EXPECT_EQ(h.record(i), expected[i])
            << "row " << i + 1 << "\n got: " << describe(h.record(i))
            << "\nwant: " << describe(expected[i]);
        EXPECT_TRUE(h.record(i)[Field::Website].starts_with(h.sites.address() + "/home/"));
    }
    EXPECT_EQ(h.control->runStatus(), g("搜索完毕:") + g("手机"));
}

TEST(WebSearchHarvest, AnotherKeywordFindsTheHomepagesInAnotherOrder) {
    WebSearchHarvest h;
    ASSERT_TRUE(h.run(g("阀门 铜"), g("(省份)")));
    auto expected = h.sites.expected(1, g("阀门+铜"), "");
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(h.list.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(h.record(i), expected[i]) << i + 1;
    EXPECT_NE(expected.front(), h.sites.expected(1, g("手机"), "330000").front());
}

TEST(WebSearchHarvest, SameNameFilterTakesARepeatedHitOnce) {
    WebSearchHarvest h;
    h.list.setSameNameFilter(true);
    ASSERT_TRUE(h.run(g("手机"), g("浙江")));
    std::map<std::string, int> names;
    for (size_t i = 0; i < h.list.size(); ++i) ++names[std::string(h.list.field(i, Column::Name))];
    for (const auto& [name, count] : names) EXPECT_EQ(count, 1) << gbk::toUtf8(name);
    auto expected = h.sites.expected(1, g("手机"), "330000");
    std::vector<RecordSlot> firsts;
    std::map<std::string, int> seen;
    for (const auto& r : expected)
        if (seen[r[Field::Name]]++ == 0) firsts.push_back(r);
    EXPECT_LT(firsts.size(), expected.size()) << "hits repeated across result pages";
    ASSERT_EQ(h.list.size(), firsts.size());
    for (size_t i = 0; i < firsts.size(); ++i) EXPECT_EQ(h.record(i), firsts[i]) << i + 1;
}

}  // namespace
}  // namespace velmora
