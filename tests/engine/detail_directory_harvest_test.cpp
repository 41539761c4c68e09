// Whole harvests of the company directory with detail pages against the demo
// sites on loopback: every field exact, IDs in arrival order, the e-mail
// lookup filling what the company pages lack, and the site's form check.
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

// Source 4 alone, started by the search start.
struct DirectoryHarvest : DemoHarvest {
    using DemoHarvest::DemoHarvest;
    bool run(const std::string& keywordBox, const std::string& provinceBox, bool research = true) {
        return DemoHarvest::run(keywordBox, provinceBox, {4}, research);
    }
};

TEST(DetailDirectoryHarvest, EveryFieldExactWithTheEmailLookup) {
    DirectoryHarvest h;
    ASSERT_TRUE(h.run(g(" 手机 配件"), g("浙江")));
    auto expected = h.sites.expected(4, g("手机+配件"), "330000");
    ASSERT_EQ(expected.size(), 60u);
    EXPECT_EQ(h.sites.pageCount(4, g("手机+配件"), "330000"), 6);
    expectSameRecords(h, expected);
}

TEST(DetailDirectoryHarvest, AllOfChinaAndTheLookupFillsOnlyWhatPagesLack) {
    DirectoryHarvest on;
    ASSERT_TRUE(on.run(g("阀门"), ""));
    expectSameRecords(on, on.sites.expected(4, g("阀门"), "000000"));

    DirectoryHarvest off;
    ASSERT_TRUE(off.run(g("阀门"), "", /*research=*/false));
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

TEST(DetailDirectoryHarvest, ASiteThatRejectsTheFormEndsTheSourceEmpty) {
    // The form check of the demo site: fields in another order, lower-case
    // escapes or a GET all get the empty result page.
    demo::DemoSites sites;
    httplib::Client client("127.0.0.1", sites.port());
    const std::string type = "application/x-www-form-urlencoded";
    const std::string details = g("详细资料");
    auto post = [&](const std::string& body) {
        auto res = client.Post("/qiye/search.php", body, type);
        return res ? res->body : std::string();
    };
    EXPECT_NE(post("key=%CA%D6%BB%FA&province=%D5%E3%BD%AD&page=0").find(details),
              std::string::npos);
    EXPECT_EQ(post("province=%D5%E3%BD%AD&key=%CA%D6%BB%FA&page=0").find(details),
              std::string::npos);
    EXPECT_EQ(post("key=%ca%d6%bb%fa&province=%D5%E3%BD%AD&page=0").find(details),
              std::string::npos);
    EXPECT_EQ(post("key=%CA%D6%BB%FA&province=%D5%E3%BD%AD&page=1&x=1").find(details),
              std::string::npos);
    auto get = client.Get("/qiye/search.php?key=%CA%D6%BB%FA&province=&page=0");
    ASSERT_TRUE(get);
    EXPECT_EQ(get->body.find(details), std::string::npos);
}

}  // namespace
}  // namespace velmora
