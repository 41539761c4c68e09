// Harvests of demo sites that misbehave the way real sites do: answers that
// fail transiently at first, a server that asks to slow down, pacing, pages
// lost for good and counted, and sites served in UTF-8.
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "app/engine/run_control.h"
#include "demo/demo_sites.h"
#include "platform/gbk.h"
#include "platform/queue_executor.h"
#include "sources/registry.h"
#include "support/demo_harvest.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using demo::Fault;
using demo::TransientKind;

struct Harvest {
    explicit Harvest(demo::DemoOptions options, std::function<void(SiteConfig&)> configure = {})
        : sites(std::move(options)), config(sites.siteConfig()) {
        config.http.retryPause = 2ms;
        config.http.stallTimeout = 1s;
        if (configure) configure(config);
        run = std::make_unique<RunControl>(main, list, config, makeSources(config));
        run->setRetryPause(1ms);
    }

    // The search start of one source (the directory with detail pages gets
    // its keyword in its work form).
    bool start(int source) {
        if (source != 4) return run->searchStart(keyword, "", {source});
        run->form(4).keyword = keyword;
        run->form(4).province.clear();
        return run->startSource(4, WorkRow{"N", config.detailDirectory, "4[0]0{0}"});
    }
    bool finish(std::chrono::milliseconds within = 60s) {
        return main.runUntil([&] { return !run->searching(); }, within);
    }
    std::vector<RecordSlot> rows() const {
        std::vector<RecordSlot> out;
        for (size_t i = 0; i < list.size(); ++i) out.push_back(testing::recordOf(list, i));
        return out;
    }
    std::vector<RecordSlot> expected(int source) const {
        return sites.expected(source, keyword, "");
    }
    // How often the sites were asked for targets starting with `prefix`.
    int asked(const std::string& prefix) const {
        int n = 0;
        for (const auto& r : sites.requestLog()) n += r.target.starts_with(prefix) ? 1 : 0;
        return n;
    }

    std::string keyword = gbk::fromUtf8("手机");
    demo::DemoSites sites;
    SiteConfig config;
    QueueExecutor main;
    CompanyList list;
    std::unique_ptr<RunControl> run;
};

demo::DemoOptions small(int companies = 20) {
    demo::DemoOptions options;
    options.companies = companies;
    options.pageSize = 10;
    return options;
}

class EverySource : public ::testing::TestWithParam<int> {};

// The first answer of a fifth of all urls fails (503, a dropped connection,
// 500, 502, 504, 408 or 429 in turn): the list is complete all the same.
TEST_P(EverySource, AFifthOfFirstAnswersFailingCostsNothing) {
    demo::DemoOptions options = small();
    options.flaky = {1, 20};
    Harvest h(options);
    ASSERT_TRUE(h.start(GetParam()));
    ASSERT_TRUE(h.finish());
    ASSERT_FALSE(h.expected(GetParam()).empty());
    EXPECT_EQ(h.rows(), h.expected(GetParam()));
    EXPECT_EQ(h.run->unfetchedPages(), 0);
    // Some urls were indeed asked for twice.
    std::set<std::string> targets;
    for (const auto& r : h.sites.requestLog()) targets.insert(r.method + r.target);
    EXPECT_LT(targets.size(), h.sites.requestLog().size());
}

// The same harvest of sites that speak UTF-8 gives the very same list.
TEST_P(EverySource, UtfEightSitesGiveTheListOfGbkSites) {
    demo::DemoOptions options = small();
    options.utf8Sites = {1, 2, 3, 4, 5, 6, 7};
    Harvest h(options);
    ASSERT_TRUE(h.start(GetParam()));
    ASSERT_TRUE(h.finish());
    ASSERT_FALSE(h.expected(GetParam()).empty());
    EXPECT_EQ(h.rows(), h.expected(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Sources, EverySource, ::testing::Values(1, 2, 3, 4, 5, 6, 7),
                         [](const auto& info) { return "source" + std::to_string(info.param); });

TEST(HarvestResilience, WithoutConversionAUtfEightSiteYieldsNothing) {
    demo::DemoOptions options = small();
    options.utf8Sites = {7};
    Harvest h(options, [](SiteConfig& c) { c.http.transcodePages = false; });
    ASSERT_TRUE(h.start(7));
    ASSERT_TRUE(h.finish());
    EXPECT_EQ(h.list.size(), 0u);
}

// Each kind of transient failure, on the first answer of every url (a stall
// and a refused connection: resilient_http_test.cpp, since each costs seconds).
TEST(HarvestResilience, EachTransientKindIsRecoveredByARetry) {
    for (TransientKind kind :
         {TransientKind::Status408, TransientKind::Status429, TransientKind::Status500,
          TransientKind::Status502, TransientKind::Status503, TransientKind::Status504,
          TransientKind::Drop}) {
        demo::DemoOptions options = small(10);
        options.flaky = {1, 100, kind, -1, 7};
        Harvest h(options, [](SiteConfig& c) { c.http.retries = 1; });
        ASSERT_TRUE(h.start(7));
        ASSERT_TRUE(h.finish());
        EXPECT_EQ(h.rows(), h.expected(7)) << demo::transientKindName(kind);
        // Every page twice: the failed answer and the good one.
        EXPECT_EQ(h.asked("/main/corp/detail.asp"), 2 * static_cast<int>(h.expected(7).size()))
            << demo::transientKindName(kind);
    }
}

// A url that fails for good: a transient kind is tried retries + 1 times and
// the page is counted as lost; a permanent one (a redirect) once.
TEST(HarvestResilience, LostPagesAreCountedAndPermanentFailuresNotRetried) {
    demo::DemoOptions options = small(10);
    options.faults = {{7, Fault::Detail, 3, Fault::Status500},
                      {7, Fault::Detail, 5, Fault::Redirect}};
    Harvest h(options);
    ASSERT_TRUE(h.start(7));
    ASSERT_TRUE(h.finish());
    EXPECT_EQ(h.list.size(), 8u);
    std::vector<std::string> details;
    for (const auto& r : h.sites.requestLog())
        if (r.target.starts_with("/main/corp/detail.asp")) details.push_back(r.target);
    EXPECT_EQ(details.size(), 8u + 3u + 1u);
    EXPECT_EQ(h.run->unfetchedPages(), 2);
    EXPECT_EQ(h.run->progress(7).unfetched, 2);
    EXPECT_EQ(gbk::toUtf8(run_texts::unfetched(2)), "2 个页面未能取得（已重试），列表不完整");
}

// Source 2 asks for a failed result page again (a growing pause on top of
// the retries inside the step); the page counts as lost once, when it gives up.
TEST(HarvestResilience, AResultPageAskedForAgainCountsOnceWhenGivenUp) {
    demo::DemoOptions options = small(20);
    options.faults = {{2, Fault::Listing, 2, Fault::Status500}};
    Harvest h(options, [](SiteConfig& c) { c.http.retries = 1; });
    ASSERT_TRUE(h.start(2));
    ASSERT_TRUE(h.finish());
    EXPECT_EQ(h.list.size(), 10u);
    EXPECT_EQ(h.run->unfetchedPages(), 1);
    EXPECT_EQ(h.asked("/company/k-"), 1 + 2 * (1 + kMaxListingRetries));
}

TEST(HarvestResilience, RetryAfterIsHonoured) {
    demo::DemoOptions options = small(1);
    options.flaky = {1, 100, TransientKind::Status429, 1, 7};
    Harvest h(options, [](SiteConfig& c) { c.http.retryPause = 1ms; });
    ASSERT_TRUE(h.start(7));
    ASSERT_TRUE(h.finish());
    EXPECT_EQ(h.rows(), h.expected(7));
    // The site's own log: the second request of a url came a second later.
    auto log = h.sites.requestLog();
    ASSERT_GE(log.size(), 2u);
    ASSERT_EQ(log[0].target, log[1].target);
    EXPECT_GE(log[1].arrived - log[0].arrived, 950ms);
}

TEST(HarvestResilience, AStopEndsARetryPauseAtOnce) {
    demo::DemoOptions options = small(10);
    options.flaky = {1, 100, TransientKind::Status503, 50, 7};  // asks for 50 s
    Harvest h(options);
    ASSERT_TRUE(h.start(7));
    for (int i = 0; i < 2000 && h.sites.requestCount() < 1; ++i) std::this_thread::sleep_for(5ms);
    ASSERT_EQ(h.sites.requestCount(), 1);
    std::this_thread::sleep_for(100ms);  // the step is in its pause now
    auto stopped = std::chrono::steady_clock::now();
    h.run->stop();
    ASSERT_TRUE(h.finish(10s));
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 2s);
    EXPECT_EQ(h.sites.requestCount(), 1);
    EXPECT_EQ(h.run->unfetchedPages(), 0);  // a stop loses nothing that counts
}

// Pacing, read from the sites' own request log: the starts of two requests
// to the host lie min_interval_ms apart, across the two sources.
TEST(HarvestResilience, RequestsToAHostKeepTheirInterval) {
    Harvest h(small(10), [](SiteConfig& c) { c.http.minInterval = 40ms; });
    ASSERT_TRUE(h.run->searchStart(h.keyword, "", {7, 2}));
    ASSERT_TRUE(h.finish());
    EXPECT_EQ(h.list.size(), 20u);
    auto log = h.sites.requestLog();
    ASSERT_GT(log.size(), 20u);
    for (size_t i = 1; i < log.size(); ++i)
        // Arrival lags the start a little, and not always by the same amount.
        EXPECT_GE(log[i].arrived - log[i - 1].arrived, 30ms) << log[i].target;
}

TEST(HarvestResilience, RequestsInFlightToAHostStayWithinTheBound) {
    auto slowPages = [] {
        demo::DemoOptions options = small(10);
        for (int s : {7, 2})
            for (Fault::Step step : {Fault::Listing, Fault::Detail})
                options.faults.push_back({s, step, -1, Fault::Delay, 30});
        return options;
    };
    Harvest bounded(slowPages(), [](SiteConfig& c) { c.http.maxPerHost = 1; });
    ASSERT_TRUE(bounded.run->searchStart(bounded.keyword, "", {7, 2}));
    ASSERT_TRUE(bounded.finish());
    EXPECT_EQ(bounded.list.size(), 20u);
    EXPECT_EQ(bounded.sites.mostAtOnce(), 1);
    // Loopback is not bounded by default: the two sources overlap.
    Harvest free(slowPages());
    ASSERT_TRUE(free.run->searchStart(free.keyword, "", {7, 2}));
    ASSERT_TRUE(free.finish());
    EXPECT_GE(free.sites.mostAtOnce(), 2);
}

}  // namespace
}  // namespace velmora
