// The directory with script-embedded records harvested alone from the demo
// sites by the search start, and the demo site's own checks.
#include <gtest/gtest.h>
#include <httplib.h>

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
using testing::expectSameRecords;
using testing::g;

// Source 3 alone, started by the search start.
struct ScriptHarvest : DemoHarvest {
    using DemoHarvest::DemoHarvest;
    bool run(const std::string& keywordBox, const std::string& provinceBox) {
        return DemoHarvest::run(keywordBox, provinceBox, {3});
    }
    void expectExactly(const std::vector<demo::DemoCompany>& expected) const {
        expectSameRecords(*this, expected);
    }
};

demo::DemoOptions options(int companies, int pageSize) {
    demo::DemoOptions o;
    o.companies = companies;
    o.pageSize = pageSize;
    o.pageBytes = 8 * 1024;
    return o;
}

TEST(ScriptDirectoryHarvest, ProvinceAndKeywordGiveEveryCompanyExactly) {
    ScriptHarvest h(options(34, 8));
    ASSERT_EQ(h.sites.pageCount(3, g("手机"), "330000"), 5);
    ASSERT_TRUE(h.run(g("手机"), g("浙江")));
    auto expected = h.sites.expected(3, g("手机"), "330000");
    ASSERT_EQ(expected.size(), 34u);
    h.expectExactly(expected);
}

TEST(ScriptDirectoryHarvest, AllOfChinaWithAKeywordOfTwoWords) {
    ScriptHarvest h(options(12, 5));
    ASSERT_TRUE(h.run(g(" 手机 配件 "), g("(省份)")));
    h.expectExactly(h.sites.expected(3, g("手机+配件"), "000000"));
}

TEST(ScriptDirectoryHarvest, EndlessPagersEndAtTheLastRealPage) {
    // A disabled "下一页" on the last page, then an empty page or the last
    // page again beyond it: the run ends, and nothing is taken in twice.
    for (demo::PagerEnd end : {demo::PagerEnd::EmptyBeyond, demo::PagerEnd::LastAgain}) {
        demo::DemoOptions o = options(23, 10);
        o.pagerEnd = end;
        ScriptHarvest h(o);
        ASSERT_TRUE(h.run(g("手机"), g("浙江"))) << static_cast<int>(end);
        h.expectExactly(h.sites.expected(3, g("手机"), "330000"));
    }
}

TEST(ScriptDirectoryHarvest, DemoRecordsShowEveryVariation) {
    demo::DemoSites sites(options(40, 10));
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

// The site answers only the form as the harvester's client posts it.
TEST(ScriptDirectorySite, ChecksTheFormFieldsOrderAndEncoding) {
    demo::DemoSites sites(options(6, 5));
    httplib::Client client("127.0.0.1", sites.port());
    const std::string kForm = "application/x-www-form-urlencoded";
    auto entries = [&](const std::string& body) {
        auto res = client.Post("/search/company.asp", body, kForm);
        EXPECT_TRUE(res && res->status == 200);
        std::string page = res ? res->body : "";
        int n = 0;
        for (size_t at = page.find(g("【")); at != std::string::npos;
             at = page.find(g("【"), at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(entries("provinceCN=%D5%E3%BD%AD&key_word=%CA%D6%BB%FA&page_index=0"), 5);
    EXPECT_EQ(entries("provinceCN=%D5%E3%BD%AD&key_word=%CA%D6%BB%FA&page_index=1"), 1);
    EXPECT_EQ(entries("provinceCN=&key_word=abc+d&page_index=0"), 5);
    EXPECT_EQ(entries("key_word=%CA%D6%BB%FA&provinceCN=%D5%E3%BD%AD&page_index=0"), 0);
    EXPECT_EQ(entries("provinceCN=%d5%e3%bd%ad&key_word=%CA%D6%BB%FA&page_index=0"), 0);
    EXPECT_EQ(entries("provinceCN=&key_word=a%2Eb&page_index=0"), 5);
    EXPECT_EQ(entries("provinceCN=&key_word=a.b&page_index=0"),
              0);  // only letters and digits go raw
    EXPECT_EQ(entries("provinceCN=&key_word=abc&page_index=01"), 0);
    EXPECT_EQ(entries("provinceCN=&key_word=abc&page_index=0&x=1"), 0);
    auto get = client.Get("/search/company.asp?provinceCN=&key_word=abc&page_index=0");
    ASSERT_TRUE(get);
    EXPECT_EQ(get->body.find(g("【")), std::string::npos);
}

}  // namespace
}  // namespace velmora
