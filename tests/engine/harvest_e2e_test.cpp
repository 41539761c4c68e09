// Whole harvests against the bundled demo sites on loopback, started by the
// search start: every field exact, IDs in arrival order, the e-mail lookup
// filling what the company pages lack, and the demo sites' form checks.
#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <map>
#include <set>

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

demo::DemoOptions sized(int companies, int pageSize) {
    demo::DemoOptions o;
    o.companies = companies;
    o.pageSize = pageSize;
    o.pageBytes = 8 * 1024;
    return o;
}

// One source alone: the list holds exactly what the site shows.
TEST(HarvestEndToEnd, EachSourceAloneGivesEveryCompanyExactly) {
    const struct {
        int source;
        demo::DemoOptions options;
        const char *keywordBox, *provinceBox, *keyword, *code;
        size_t companies;  // 0: any number but none
        int pages;         // 0: not checked
    } cases[] = {
        {7, {}, "手机", "浙江", "手机", "330000", 0, 0},  // with the e-mail lookup
        {2, {}, "阀门", "(省份)", "阀门", "", 0, 0},
        {1, {}, "手机", "浙江", "手机", "330000", 0, 0},
        {1, {}, "阀门 铜", "(省份)", "阀门+铜", "", 0, 0},
        {4, {}, " 手机 配件", "浙江", "手机+配件", "330000", 60, 6},
        {3, sized(34, 8), "手机", "浙江", "手机", "330000", 34, 5},
        {3, sized(12, 5), " 手机 配件 ", "(省份)", "手机+配件", "000000", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.source) + " " + c.keywordBox);
        Harvest h(c.options);
        ASSERT_TRUE(h.run(g(c.keywordBox), g(c.provinceBox), {c.source}));
        auto expected = h.sites.expected(c.source, g(c.keyword), c.code);
        ASSERT_FALSE(expected.empty());
        if (c.companies) {
            EXPECT_EQ(expected.size(), c.companies);
        }
        if (c.pages) {
            EXPECT_EQ(h.sites.pageCount(c.source, g(c.keyword), c.code), c.pages);
        }
        expectSameRecords(h, expected);
        EXPECT_EQ(h.control->runStatus(), g("搜索完毕:") + g(c.keywordBox));
        // The web search reads every hit in order with its address as website.
        for (size_t i = 0; c.source == 1 && i < h.list.size(); ++i)
            EXPECT_TRUE(h.record(i)[Field::Website].starts_with(h.sites.address() + "/home/"));
    }
    // Another keyword finds the homepages in another order.
    demo::DemoSites sites;
    EXPECT_GT(sites.expected(1, g("手机"), "330000").size(), 20u);
    EXPECT_NE(sites.expected(1, g("阀门+铜"), "").front(),
              sites.expected(1, g("手机"), "330000").front());
}

// Several sources at once interleave, and every company arrives.
TEST(HarvestEndToEnd, SourcesTogetherAllArrive) {
    const struct {
        const char *keywordBox, *provinceBox, *keyword, *code;
        std::vector<int> sources;
    } cases[] = {
        {"", "北京", "", "110000", {7, 2}},
        {"手机 配件", "广东", "手机+配件", "440000", {7, 2}},
        {"阀门", "江苏", "阀门", "320000", {4, 3}},  // both form-posting directories
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keywordBox);
        Harvest h;
        ASSERT_TRUE(h.run(g(c.keywordBox), g(c.provinceBox), c.sources));
        std::vector<std::string> want, got;
        for (int s : c.sources)
            for (const auto& r : h.sites.expected(s, g(c.keyword), c.code))
                want.push_back(describe(r));
        for (size_t i = 0; i < h.list.size(); ++i) {
            got.push_back(describe(h.record(i)));
            EXPECT_EQ(h.list.field(i, Column::Id), std::to_string(i + 1));
        }
        ASSERT_FALSE(want.empty());
        std::sort(want.begin(), want.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, want);
    }
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

TEST(HarvestEndToEnd, SameNameFilterTakesARepeatedWebSearchHitOnce) {
    Harvest h;
    h.list.setSameNameFilter(true);
    ASSERT_TRUE(h.run(g("手机"), g("浙江"), {1}));
    auto expected = h.sites.expected(1, g("手机"), "330000");
    std::vector<RecordSlot> firsts;
    std::set<std::string> seen;
    for (const auto& r : expected)
        if (seen.insert(r[Field::Name]).second) firsts.push_back(r);
    EXPECT_LT(firsts.size(), expected.size()) << "hits repeated across result pages";
    expectSameRecords(h, firsts);
}

TEST(HarvestEndToEnd, WithoutResearchMissingAddressesStayEmpty) {
    Harvest h;
    ASSERT_TRUE(h.run(g("手机"), g("浙江"), {7}, /*research=*/false));
    auto expected = h.sites.expected(7, g("手机"), "330000");
    ASSERT_EQ(h.list.size(), expected.size());
    int emptied = 0;
    for (size_t i = 0; i < expected.size(); ++i)
        if (h.list.field(i, Column::Email).empty()) ++emptied;
    EXPECT_GT(emptied, 0) << "some demo companies have no address on their own page";
}

TEST(HarvestEndToEnd, TheLookupFillsOnlyWhatPagesLack) {
    Harvest on;
    ASSERT_TRUE(on.run(g("阀门"), "", {4}));
    expectSameRecords(on, on.sites.expected(4, g("阀门"), "000000"));

    Harvest off;
    ASSERT_TRUE(off.run(g("阀门"), "", {4}, /*research=*/false));
    ASSERT_EQ(off.list.size(), on.list.size());
    int filled = 0;
    for (size_t i = 0; i < on.list.size(); ++i) {
        RecordSlot with = on.record(i), without = off.record(i);
        if (!without[Field::Email].empty()) {
            EXPECT_EQ(with, without) << "a page with an address needs no lookup";
        } else if (!with[Field::Email].empty()) {
            ++filled;
        }
    }
    EXPECT_GT(filled, 5);
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
        SCOPED_TRACE(static_cast<int>(end));
        demo::DemoOptions options;
        options.pagerEnd = end;
        Harvest regional(options);
        ASSERT_TRUE(regional.run(g("手机"), g("浙江"), {7}, /*research=*/false, 20s));
        EXPECT_EQ(regional.list.size(), regional.sites.expected(7, g("手机"), "330000").size());

        demo::DemoOptions o = sized(23, 10);
        o.pagerEnd = end;
        Harvest script(o);
        ASSERT_TRUE(script.run(g("手机"), g("浙江"), {3}));
        expectSameRecords(script, script.sites.expected(3, g("手机"), "330000"));
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

TEST(DemoDirectoryRecords, ShowEveryVariation) {
    demo::DemoSites sites(sized(40, 10));
    auto records = sites.expected(3, g("阀门"), "");
    int bracketed = 0, longProfiles = 0, noEmail = 0, noProfile = 0;
    for (const auto& r : records) {
        bracketed += r[Field::Phone].starts_with("(");
        longProfiles += r[Field::Profile].size() > 400;
        noEmail += r[Field::Email].empty();
        noProfile += r[Field::Profile].empty();
    }
    EXPECT_GE(bracketed, 10);
    EXPECT_GE(longProfiles, 20);
    EXPECT_GE(noEmail, 3);
    EXPECT_GE(noProfile, 1);
}

// The form-posting demo sites answer only the form as the harvester's client
// posts it: fields in another order, lower-case escapes or a GET all get the
// empty result page. The number of entries each body gives.
TEST(DemoDirectorySites, CheckTheFormFieldsOrderAndEncoding) {
    demo::DemoSites sites(sized(6, 5));
    httplib::Client client("127.0.0.1", sites.port());
    const std::string kForm = "application/x-www-form-urlencoded";
    auto count = [](const std::string& page, const std::string& mark) {
        int n = 0;
        for (size_t at = page.find(mark); at != std::string::npos; at = page.find(mark, at + 1))
            ++n;
        return n;
    };
    auto entries = [&](const std::string& path, const std::string& body) {
        auto res = client.Post(path, body, kForm);
        EXPECT_TRUE(res && res->status == 200);
        return count(res ? res->body : "", path == "/qiye/search.php" ? g("详细资料") : g("【"));
    };
    const std::string script = "/search/company.asp", detail = "/qiye/search.php";
    const struct {
        const std::string& path;
        const char* body;
        int entries;  // -1: some
    } cases[] = {
        {script, "provinceCN=%D5%E3%BD%AD&key_word=%CA%D6%BB%FA&page_index=0", 5},
        {script, "provinceCN=%D5%E3%BD%AD&key_word=%CA%D6%BB%FA&page_index=1", 1},
        {script, "provinceCN=&key_word=abc+d&page_index=0", 5},
        {script, "key_word=%CA%D6%BB%FA&provinceCN=%D5%E3%BD%AD&page_index=0", 0},
        {script, "provinceCN=%d5%e3%bd%ad&key_word=%CA%D6%BB%FA&page_index=0", 0},
        {script, "provinceCN=&key_word=a%2Eb&page_index=0", 5},
        {script, "provinceCN=&key_word=a.b&page_index=0", 0},  // only letters and digits go raw
        {script, "provinceCN=&key_word=abc&page_index=01", 0},
        {script, "provinceCN=&key_word=abc&page_index=0&x=1", 0},
        {detail, "key=%CA%D6%BB%FA&province=%D5%E3%BD%AD&page=0", -1},
        {detail, "province=%D5%E3%BD%AD&key=%CA%D6%BB%FA&page=0", 0},
        {detail, "key=%ca%d6%bb%fa&province=%D5%E3%BD%AD&page=0", 0},
        {detail, "key=%CA%D6%BB%FA&province=%D5%E3%BD%AD&page=1&x=1", 0},
    };
    for (const auto& c : cases) {
        int n = entries(c.path, c.body);
        if (c.entries < 0) {
            EXPECT_GT(n, 0) << c.body;
        } else {
            EXPECT_EQ(n, c.entries) << c.body;
        }
    }
    for (auto [query, mark] :
         {std::pair{script + "?provinceCN=&key_word=abc&page_index=0", g("【")},
          std::pair{detail + "?key=%CA%D6%BB%FA&province=&page=0", g("详细资料")}}) {
        auto get = client.Get(query);
        ASSERT_TRUE(get);
        EXPECT_EQ(count(get->body, mark), 0) << query;
    }
}

}  // namespace
}  // namespace velmora
