// Harvests of the portal search (source 5) and the yellow pages (source 6)
// against the bundled demo sites: both take their companies in during their
// own steps, with the e-mail lookup for every accepted name.
#include <gtest/gtest.h>

#include <map>
#include <mutex>
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
using testing::g;

// Every address a source's client asks for, in order, over the real client.
class RecordingClient : public HttpClient {
  public:
    RecordingClient(std::unique_ptr<HttpClient> inner, std::vector<std::string>& log,
                    std::mutex& mutex)
        : inner_(std::move(inner)), log_(log), mutex_(mutex) {}
    std::string get(const std::string& url) override {
        note(url);
        return inner_->get(url);
    }
    std::string post(const std::string& url, const text::FormFields& fields) override {
        note("POST " + url + " " + text::formBody(fields));
        return inner_->post(url, fields);
    }
    void abort() override { inner_->abort(); }
    void resume() override { inner_->resume(); }

  private:
    void note(const std::string& url) {
        std::lock_guard lock(mutex_);
        log_.push_back(url);
    }
    std::unique_ptr<HttpClient> inner_;
    std::vector<std::string>& log_;
    std::mutex& mutex_;
};

class StepCounter : public RunObserver {
  public:
    void stepFinished(int source, const StepOutcome&) override { ++steps[source]; }
    std::map<int, int> steps;
};

struct Harvest {
    explicit Harvest(demo::DemoOptions options = {}) : sites(std::move(options)) {
        SiteConfig config = sites.siteConfig();
        control = std::make_unique<RunControl>(
            executor, list, config, makeSources(config), [this, config](int s) {
                HttpOptions options = config.http;
                if (s == 6) options.userAgent = "Mozilla/3.0 (compatible; Indy Library)";
                return std::make_unique<RecordingClient>(makeCurlHttpClient(options), requests[s],
                                                         mutex);
            });
        control->setObserver(&counter);
    }

    // Starts source 5 or 6 with the inputs its site expects.
    bool start(int s, const std::string& keyword, const std::string& provinceName,
               const std::string& provinceCode) {
        WorkForm& form = control->form(s);
        form.keyword = keyword;
        SiteConfig config = sites.siteConfig();
        if (s == 5) {
            form.province = provinceCode;
            return control->startSource(5, {"N", config.portal + "/search?", "5[0]0{0}"});
        }
        form.province = provinceName;
        return control->startSource(6, {"N", config.yellowPages, "6[0]0{0}"});
    }
    bool run(int s, const std::string& keyword, const std::string& provinceName,
             const std::string& provinceCode) {
        if (!start(s, keyword, provinceName, provinceCode)) return false;
        return executor.runUntil([this] { return !control->searching(); }, 60s);
    }

    RecordSlot record(size_t row) const { return testing::recordOf(list, row); }
    // The names the source's e-mail lookups searched for, in order.
    std::vector<std::string> lookups(int s) {
        std::lock_guard lock(mutex);
        std::vector<std::string> names;
        for (const auto& url : requests[s]) {
            size_t at = url.find("/baidu?word=\"");
            if (at == std::string::npos) continue;
            std::string word = url.substr(at + 13);
            names.push_back(word.substr(0, word.size() - 6));  // up to "\"+mail"
        }
        return names;
    }
    int pageRequests(int s, const std::string& marker) {
        std::lock_guard lock(mutex);
        int n = 0;
        for (const auto& url : requests[s]) n += url.find(marker) != std::string::npos;
        return n;
    }

    demo::DemoSites sites;
    QueueExecutor executor;
    CompanyList list;
    std::mutex mutex;
    std::map<int, std::vector<std::string>> requests;
    StepCounter counter;
    std::unique_ptr<RunControl> control;
};

void expectRecords(const Harvest& h, const std::vector<RecordSlot>& expected) {
    testing::expectSameRecords(h.list, expected);
}

std::vector<std::string> namesOf(const std::vector<RecordSlot>& records) {
    std::vector<std::string> names;
    for (const auto& r : records) names.push_back(r[Field::Name]);
    return names;
}

TEST(IntakeSourcesEndToEnd, PortalHarvestsEveryPageOnce) {
    Harvest h;
    ASSERT_TRUE(h.run(5, g("手机+配件"), g("浙江"), "330000"));
    auto expected = h.sites.expected(5, g("手机+配件"), "330000");
    int pages = h.sites.pageCount(5, g("手机+配件"), "330000");
    ASSERT_GE(pages, 3);
    expectRecords(h, expected);
    // The last page keeps a greyed-out "next page" and the site answers the
    // page behind it with the last page again: that repeat ends the source.
    EXPECT_EQ(h.counter.steps[5], pages + 1);
    EXPECT_EQ(h.pageRequests(5, "POST "), pages + 1);
    EXPECT_EQ(h.requests[5].front(), "POST " + h.sites.address() +
                                         "/search? keyWord=%CA%D6%BB%FA%2B%C5%E4%BC%FE&provid="
                                         "330000&page=0&reaid=0");
    EXPECT_EQ(h.lookups(5), namesOf(expected));
    EXPECT_FALSE(h.control->active(5));
}

TEST(IntakeSourcesEndToEnd, YellowPagesHarvestsEveryCategory) {
    Harvest h;
    ASSERT_TRUE(h.run(6, g("阀门"), g("浙江"), "330000"));
    auto expected = h.sites.expected(6, g("阀门"), "330000");
    ASSERT_FALSE(expected.empty());
    expectRecords(h, expected);
    EXPECT_EQ(h.lookups(6), namesOf(expected));
    EXPECT_EQ(h.requests[6].front(),
              h.sites.siteConfig().yellowPages + "?&area=" + g("浙江") + "&keyword=" + g("阀门"));
    // One category search, every result page, and for each category of
    // several pages the empty page behind its last (its script pager still
    // names "下一页").
    int pages = h.sites.pageCount(6, g("阀门"), "330000");
    EXPECT_EQ(h.pageRequests(6, "categorycontent.aspx?"), pages + 2);
    EXPECT_EQ(h.pageRequests(6, "npage=0"), 4);
    EXPECT_EQ(h.counter.steps[6], 1 + pages + 2);
}

TEST(IntakeSourcesEndToEnd, SameNameFilterAndLookupsOnlyForAcceptedNames) {
    Harvest h;
    h.list.setSameNameFilter(true);
    ASSERT_TRUE(h.run(6, g("阀门"), "", "000000"));
    std::vector<RecordSlot> firsts;
    std::set<std::string> seen;
    for (const auto& r : h.sites.expected(6, g("阀门"), ""))
        if (seen.insert(r[Field::Name]).second) firsts.push_back(r);
    ASSERT_LT(firsts.size(), h.sites.expected(6, g("阀门"), "").size())
        << "the categories should share companies";
    expectRecords(h, firsts);
    EXPECT_EQ(h.lookups(6), namesOf(firsts));  // never for a refused name

    // The portal lists the same companies: with the filter on, none of them
    // comes again, and none is looked up.
    ASSERT_TRUE(h.run(5, g("阀门"), "", "000000"));
    EXPECT_EQ(h.list.size(), firsts.size());
    EXPECT_TRUE(h.lookups(5).empty());
}

TEST(IntakeSourcesEndToEnd, TheSearchStartStartsBothWithTheirInputs) {
    Harvest h;
    ASSERT_TRUE(h.control->searchStart(g(" 手机 配件 "), g("浙江"), {6, 5}));
    ASSERT_TRUE(h.executor.runUntil([&] { return !h.control->searching(); }, 60s));
    std::multiset<std::string> want, got;
    for (int s : {5, 6})
        for (const auto& r : h.sites.expected(s, g("手机+配件"), "330000"))
            want.insert(testing::describe(r));
    for (size_t i = 0; i < h.list.size(); ++i) got.insert(testing::describe(h.record(i)));
    EXPECT_EQ(got, want);
    EXPECT_EQ(h.control->runStatus(), g("搜索完毕:") + g(" 手机 配件 "));
}

TEST(IntakeSourcesEndToEnd, WithoutResearchNoLookupIsMade) {
    Harvest h;
    h.control->setResearch(false);
    ASSERT_TRUE(h.run(5, "", g("北京"), "110000"));
    auto expected = h.sites.expected(5, "", "110000");
    for (auto& r : expected) r[Field::Email].clear(), r[Field::Website].clear();
    expectRecords(h, expected);
    EXPECT_TRUE(h.lookups(5).empty());
}

TEST(IntakeSourcesEndToEnd, AMissingPortalAddressFinishesAtOnce) {
    // Its steps would never be sent and so never count a page: without the
    // address check the source would be handed out without end.
    QueueExecutor executor;
    CompanyList list;
    SiteConfig config;
    RunControl run(executor, list, config, makeSources(config));
    ASSERT_TRUE(run.startSource(5, {"N", "/search?", "5[0]0{0}"}));
    EXPECT_TRUE(executor.runUntil([&] { return !run.searching(); }, 5s));
    EXPECT_EQ(run.stepsFinished(), 0);
    EXPECT_EQ(list.size(), 0u);
}

TEST(IntakeSourcesEndToEnd, AYellowPagesStepInFlightTakesItsWholePageIn) {
    // The lookup of the 13th company (on the second page of the first
    // category) is slow: the run is stopped while the step is at it.
    demo::DemoOptions options;
    options.faults.push_back({0, demo::Fault::Search, 13, demo::Fault::Delay, 5000});
    Harvest h(options);
    ASSERT_TRUE(h.start(6, g("手机"), "", "000000"));
    ASSERT_TRUE(h.executor.runUntil([&] { return h.list.size() >= 12; }, 30s));
    auto begun = std::chrono::steady_clock::now();
    h.control->stop();
    ASSERT_TRUE(h.executor.runUntil([&] { return !h.control->searching(); }, 10s));
    EXPECT_LT(std::chrono::steady_clock::now() - begun, 4s);

    // The page in hand arrives whole; the stop has cut the lookups of its
    // remaining companies short, and no further page was asked for.
    auto expected = h.sites.expected(6, g("手机"), "");
    expected.resize(20);
    for (size_t i = 12; i < 20; ++i)
        expected[i][Field::Email].clear(), expected[i][Field::Website].clear();
    expectRecords(h, expected);
    EXPECT_EQ(h.pageRequests(6, "categorycontent.aspx?"), 2);
}

TEST(IntakeSourcesEndToEnd, AFailedResultPageMovesOnToTheNextCategoryFromItsFirstPage) {
    demo::DemoOptions options;
    options.faults.push_back({6, demo::Fault::Detail, 2, demo::Fault::Status500, 0});
    Harvest h(options);
    ASSERT_TRUE(h.run(6, g("手机"), "", "000000"));
    // Result page 2 of the harvest is the first category's second page: the
    // rest of that category is lost, the others arrive whole.
    auto expected = h.sites.expected(6, g("手机"), "");
    expected.erase(expected.begin() + 10, expected.begin() + 30);
    expectRecords(h, expected);
    EXPECT_EQ(h.pageRequests(6, "npage=0"), 4);
}

}  // namespace
}  // namespace velmora
