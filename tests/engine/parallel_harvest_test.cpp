// Harvests with steps running ahead: for any number of parallel steps and any
// timing of the answers, the list is the one the one-at-a-time chain makes.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <random>

#include "app/engine/run_control.h"
#include "demo/demo_sites.h"
#include "platform/queue_executor.h"
#include "sources/registry.h"
#include "support/test_support.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using testing::g;
using Entry = std::array<std::string, kColumns>;
using Clock = std::chrono::steady_clock;

// Holds every request back for a random time, so that the steps ahead end
// in every order; an abort ends the wait at once.
class DelayingClient : public HttpClient {
  public:
    DelayingClient(std::unique_ptr<HttpClient> inner, unsigned seed, int maxDelayMs)
        : inner_(std::move(inner)), random_(seed), maxDelayMs_(maxDelayMs) {}
    std::string get(const std::string& url) override {
        hold();
        return inner_->get(url);
    }
    std::string post(const std::string& url, const text::FormFields& fields) override {
        hold();
        return inner_->post(url, fields);
    }
    void abort() override {
        {
            std::lock_guard lock(mutex_);
            aborted_ = true;
        }
        wake_.notify_all();
        inner_->abort();
    }
    void resume() override {
        {
            std::lock_guard lock(mutex_);
            aborted_ = false;
        }
        inner_->resume();
    }

  private:
    void hold() {
        std::unique_lock lock(mutex_);
        auto wait = std::chrono::microseconds(random_() % (maxDelayMs_ * 1000 + 1));
        wake_.wait_for(lock, wait, [this] { return aborted_; });
    }

    std::unique_ptr<HttpClient> inner_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::minstd_rand random_;
    int maxDelayMs_;
    bool aborted_ = false;
};

struct Options {
    int parallel = 1;
    bool filter = false;
    bool research = true;
    int maxDelayMs = 0;
};

struct Harvest {
    Harvest(demo::DemoSites& sites, const Options& o) : config(sites.siteConfig()) {
        config.parallelSteps = o.parallel;
        config.http.retryPause = 1ms;  // failing pages are tried again without a long wait
        list.setSameNameFilter(o.filter);
        HttpClientFactory clients;
        if (o.maxDelayMs > 0)
            clients = [this, delay = o.maxDelayMs](int) {
                return std::make_unique<DelayingClient>(makeCurlHttpClient(config.http),
                                                        seeds++ * 7919u + 17u, delay);
            };
        control = std::make_unique<RunControl>(executor, list, config, makeSources(config),
                                               std::move(clients));
        control->setResearch(o.research);
        control->setRetryPause(1ms);
    }
    bool run(int source, std::chrono::milliseconds limit = 120s) {
        if (!control->searchStart(g("手机"), g("浙江"), {source})) return false;
        return executor.runUntil([this] { return !control->searching(); }, limit);
    }
    std::vector<Entry> entries() const {
        std::vector<Entry> all(list.size());
        for (size_t r = 0; r < all.size(); ++r)
            for (int c = 0; c < kColumns; ++c) all[r][c] = std::string(list.field(r, c));
        return all;
    }

    SiteConfig config;
    unsigned seeds = 1;
    QueueExecutor executor;
    CompanyList list;
    std::unique_ptr<RunControl> control;
};

std::vector<Entry> harvest(demo::DemoSites& sites, int source, const Options& o,
                           long long* ahead = nullptr) {
    Harvest h(sites, o);
    EXPECT_TRUE(h.run(source)) << "source " << source << " did not finish";
    if (ahead) *ahead = h.control->stepsRunAhead();
    if (o.parallel == 1) {
        // One at a time is the plain chain: one step and one connection.
        EXPECT_EQ(h.control->stepsRunAhead(), 0);
        EXPECT_EQ(h.control->connections(source), 1);
    } else if ((source == 5 || source == 6) && o.research) {
        // Their lookups ran on further connections.
        EXPECT_GT(h.control->connections(source), 1);
    }
    return h.entries();
}

demo::DemoOptions smallSites() {
    demo::DemoOptions options;
    options.companies = 23;
    options.pageSize = 7;  // pages of 7 and a last page of 2
    options.pageBytes = 4096;
    return options;
}

class ParallelEverySource : public ::testing::TestWithParam<int> {};

TEST_P(ParallelEverySource, ListIsTheChainsForAnyParallelismAndTiming) {
    int source = GetParam();
    demo::DemoSites sites(smallSites());
    for (bool filter : {false, true}) {
        for (bool research : {true, false}) {
            SCOPED_TRACE(::testing::Message()
                         << "source " << source << " filter " << filter << " lookup " << research);
            std::vector<Entry> chain = harvest(sites, source, {1, filter, research, 0});
            ASSERT_FALSE(chain.empty());
            for (int parallel : {2, 8}) {
                long long ahead = 0;
                std::vector<Entry> list =
                    harvest(sites, source, {parallel, filter, research, 3}, &ahead);
                EXPECT_EQ(list, chain) << parallel << " parallel steps";
                // The sources with detail pages really ran steps ahead.
                if (source != 5 && source != 6) {
                    EXPECT_GT(ahead, 0);
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ParallelHarvest, ParallelEverySource, ::testing::Range(1, 8),
                         [](const auto& info) { return "Source" + std::to_string(info.param); });

// Pagers that do not end cleanly: the listing step run ahead meets the page
// that ends the source (empty, or the last page again).
TEST(ParallelHarvest, PagersThatRepeatOrRunEmptyEndWhereTheChainEnds) {
    for (auto end : {demo::PagerEnd::EmptyBeyond, demo::PagerEnd::LastAgain}) {
        demo::DemoOptions options = smallSites();
        options.pagerEnd = end;
        demo::DemoSites sites(options);
        for (int source : {3, 7}) {
            SCOPED_TRACE(::testing::Message()
                         << "source " << source << " pager end " << static_cast<int>(end));
            std::vector<Entry> chain = harvest(sites, source, {1, false, false, 0});
            EXPECT_EQ(chain.size(), sites.expected(source, g("手机"), "330000").size());
            EXPECT_EQ(harvest(sites, source, {8, false, false, 2}), chain);
        }
    }
}

// The same sites, with some pages failing in the ways a site fails.
TEST(ParallelHarvest, FailingPagesAmongTheStepsAheadCostWhatTheyCostInTheChain) {
    struct Case {
        int source;
        std::vector<demo::Fault> faults;
    };
    const std::vector<Case> cases = {
        {7,
         {{7, demo::Fault::Detail, 3, demo::Fault::Status500, 0},
          {7, demo::Fault::Detail, 5, demo::Fault::DropMidBody, 0},
          {0, demo::Fault::Hit, 9, demo::Fault::Status500, 0}}},
        {7, {{7, demo::Fault::Listing, 2, demo::Fault::Status500, 0}}},
        {2,
         {{2, demo::Fault::Detail, 4, demo::Fault::Garbage, 0},
          {2, demo::Fault::Listing, 3, demo::Fault::Status500, 0}}},
        {4, {{4, demo::Fault::Detail, 7, demo::Fault::Redirect, 0}}},
    };
    for (const Case& c : cases) {
        demo::DemoOptions options = smallSites();
        options.faults = c.faults;
        demo::DemoSites sites(options);
        SCOPED_TRACE(::testing::Message()
                     << "source " << c.source << ", " << demo::formatFault(c.faults.front()));
        std::vector<Entry> chain = harvest(sites, c.source, {1, false, true, 0});
        size_t whole = sites.expected(c.source, g("手机"), "330000").size();
        EXPECT_LT(chain.size(), whole);  // the faults cost companies
        EXPECT_EQ(harvest(sites, c.source, {8, false, true, 2}), chain);
    }
}

// Stops a run of source 7 while steps are ahead, then runs again: the rows
// not handed out stay unmarked, and the next run takes them in as the chain
// does from the same state.
TEST(ParallelHarvest, AStopDropsTheStepsAheadAndTheNextRunTakesTheirRowsIn) {
    demo::DemoOptions options = smallSites();
    options.latencyMs = 15;
    demo::DemoSites sites(options);
    Harvest h(sites, {8, false, true, 0});
    ASSERT_TRUE(h.control->searchStart(g("手机"), g("浙江"), {7}));
    h.executor.runUntil([&] { return h.list.size() >= 3 && h.control->stepsAhead(7) >= 3; }, 30s);
    ASSERT_TRUE(h.control->searching());
    auto stopped = Clock::now();
    h.control->stop();
    ASSERT_TRUE(h.executor.runUntil([&] { return !h.control->searching(); }, 10s));
    EXPECT_LT(Clock::now() - stopped, 2s);
    EXPECT_GT(h.control->stepsDiscarded(), 0);

    WorkForm& form = h.control->form(7);
    ASSERT_GT(form.detailCount, 0);
    for (int r = 1; r <= form.detailCount; ++r)
        EXPECT_EQ(form.detail.row(r).mark, r < form.nextDetailRow ? "Y" : "N") << "row " << r;

    // The chain continues from a copy of that state.
    Harvest chain(sites, {1, false, true, 0});
    for (const Entry& e : h.entries()) {
        EntryFields fields;
        for (int c = 0; c < kColumns; ++c) fields[c] = e[c];
        chain.list.addEntry(fields);
    }
    chain.control->form(7) = form;
    ASSERT_TRUE(chain.run(7));
    ASSERT_TRUE(h.run(7));
    EXPECT_EQ(h.entries(), chain.entries());
    EXPECT_GT(h.list.size(), sites.expected(7, g("手机"), "330000").size());
}

TEST(ParallelHarvest, ParallelStepsComeFromSitesIniWithinOneToSixteen) {
    testing::TempDir dir;
    std::string path = dir.file("sites.ini");
    for (auto [text, want] : std::vector<std::pair<std::string, int>>{
             {"8", 8}, {"16", 16}, {"1", 1}, {"0", 1}, {"17", 1}, {"x", 1}}) {
        testing::writeFile(path, "[http]\r\nparallel_steps=" + text + "\r\n");
        EXPECT_EQ(SiteConfig::load(path).parallelSteps, want) << text;
    }
    SiteConfig config;
    config.parallelSteps = 5;
    ASSERT_TRUE(config.save(path));
    EXPECT_EQ(SiteConfig::load(path).parallelSteps, 5);
}

}  // namespace
}  // namespace velmora
