#include "app/engine/run_control.h"

#include <gtest/gtest.h>

#include <chrono>

#include "platform/queue_executor.h"
#include "support/fake_site.h"
#include "support/test_support.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using testing::FakeSite;
using testing::FakeSource;
using testing::g;

class RecordingObserver : public RunObserver {
  public:
    void runStatusChanged(const std::string& text) override { statuses.push_back(text); }
    void searchingChanged(bool searching) override { searchingStates.push_back(searching); }
    void stepFinished(int source, const StepOutcome&) override {
        if (onStep) onStep(source);
    }
    std::vector<std::string> statuses;
    std::vector<bool> searchingStates;
    std::function<void(int)> onStep;
};

// A run control over fake sources talking to a loopback site.
class RunFixture : public ::testing::Test {
  protected:
    void makeRun(std::vector<std::pair<int, DispatchRules>> sources, bool pageCounting = true) {
        SiteConfig sites;
        sites.regional = site.address();
        sites.alibaba = site.address();
        sites.websearch = site.address();
        sites.scriptDirectory = site.address() + "/s3";
        sites.detailDirectory = site.address() + "/s4";
        sites.portal = site.address();
        sites.yellowPages = site.address() + "/s6";
        sites.http.connectTimeout = 2s;
        sites.http.retryPause = 1ms;
        SourceSet set;
        for (auto [n, rules] : sources) {
            auto fake = std::make_unique<FakeSource>(n, rules);
            fake->countsPages = pageCounting;
            set[n] = std::move(fake);
        }
        run = std::make_unique<RunControl>(executor, list, sites, std::move(set));
        run->setObserver(&observer);
    }
    // Serves the main thread until the run has ended (bounded, so a hang fails).
    bool waitForEnd(std::chrono::milliseconds limit = 20s) {
        return executor.runUntil([this] { return !run->searching(); }, limit);
    }
    std::vector<std::string> names() const {
        std::vector<std::string> v;
        for (size_t i = 0; i < list.size(); ++i) v.emplace_back(list.field(i, Column::Name));
        return v;
    }

    FakeSite site;
    QueueExecutor executor;
    CompanyList list;
    RecordingObserver observer;
    std::unique_ptr<RunControl> run;
};

TEST_F(RunFixture, ListingThenDetailsThenNextPageThenFinish) {
    std::string a = site.address();
    site.page("/main/corp/queryr.asp", "");  // replaced per page below
    makeRun({{7, DispatchRules::RecordSlot}});
    // The fake source asks for url + "?page=N"; the site answers by path only,
    // so the listing path serves page 1 first and page 2 once page 1 was seen.
    site.page("/main/corp/queryr.asp",
              "detail " + a + "/d/1\ndetail " + a + "/d/2\ndetail " + a + "/d/3\nmore\n");
    observer.onStep = [&](int) {
        if (site.count("/main/corp/queryr.asp") == 1)
            site.page("/main/corp/queryr.asp", "detail " + a + "/d/4\n");
    };
    for (int i = 1; i <= 4; ++i)
        site.page("/d/" + std::to_string(i), "name Co" + std::to_string(i));

    EXPECT_EQ(run->searchCommand("kw", ""), InputProblem::None);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(names(), (std::vector<std::string>{"co1", "co2", "co3", "co4"}));
    for (size_t i = 0; i < list.size(); ++i)
        EXPECT_EQ(list.field(i, Column::Id), std::to_string(i + 1));
    auto requests = site.requests();
    std::vector<std::string> expected = {"/main/corp/queryr.asp?page=1", "/d/1", "/d/2", "/d/3",
                                         "/main/corp/queryr.asp?page=2", "/d/4"};
    EXPECT_EQ(requests, expected);
    EXPECT_EQ(run->runStatus(), g("搜索完毕:") + "kw");
    EXPECT_EQ(observer.searchingStates, (std::vector<bool>{true, false}));
    // The detail table and counters are reset once the source has finished.
    EXPECT_EQ(run->form(7).detailCount, 0);
    EXPECT_EQ(run->form(7).knownPages, 0);
}

TEST_F(RunFixture, ProgressCountsPagesAndFailuresOfEachStartedSource) {
    std::string a = site.address();
    site.page("/main/corp/queryr.asp", "detail " + a + "/d/1\ndetail " + a + "/d/2\nmore\n");
    makeRun({{7, DispatchRules::RecordSlot}, {2, DispatchRules::RecordSlot}});
    std::vector<SourceProgress> seen;
    observer.onStep = [&](int) {
        seen.push_back(run->progress(7));
        if (site.count("/main/corp/queryr.asp") == 1)
            site.page("/main/corp/queryr.asp", "detail " + a + "/d/3\n");
    };
    site.page("/d/1", "name Co1");
    site.page("/d/2", "boom", 500);
    site.page("/d/3", "name Co3");
    ASSERT_TRUE(run->searchStart("kw", "", {7}));
    ASSERT_TRUE(waitForEnd());
    const SourceProgress& p = run->progress(7);
    EXPECT_TRUE(p.started);
    EXPECT_EQ(p.resultPages, 2);
    EXPECT_EQ(p.detailPages, 2);
    EXPECT_EQ(p.failed, 1);
    EXPECT_EQ(p.page, 2);
    EXPECT_FALSE(run->progress(2).started);
    EXPECT_EQ(run->progress(2).resultPages, 0);
    // Step by step: page 1 read, its two detail pages (one failing), page 2, its detail page.
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0].page, 1);
    EXPECT_EQ(seen[0].resultPages, 1);
    EXPECT_EQ(seen[2].failed, 1);
    EXPECT_EQ(seen[3].page, 2);
    // A new run starts counting afresh.
    site.page("/main/corp/queryr.asp", "<html>nothing</html>");
    ASSERT_TRUE(run->searchStart("kw", "", {7}));
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(run->progress(7).resultPages, 1);
    EXPECT_EQ(run->progress(7).detailPages, 0);
    EXPECT_EQ(run->progress(7).failed, 0);
}

TEST_F(RunFixture, RowsBeyondTheNominalTableSizeAreAllHandedOutAndASecondRunAppends) {
    std::string a = site.address();
    std::string listing;
    for (int i = 1; i <= 50; ++i) {
        listing += "detail " + a + "/d/" + std::to_string(i) + "\n";
        site.page("/d/" + std::to_string(i), "name c" + std::to_string(i));
    }
    site.page("/main/corp/queryr.asp", listing);
    makeRun({{7, DispatchRules::RecordSlot}});
    run->searchCommand("kw", "");
    ASSERT_TRUE(waitForEnd());
    ASSERT_EQ(list.size(), 50u);
    EXPECT_EQ(list.field(49, Column::Name), "c50");
    // A second run appends, and the IDs continue.
    run->searchCommand("kw", "");
    ASSERT_TRUE(waitForEnd());
    ASSERT_EQ(list.size(), 100u);
    EXPECT_EQ(list.field(50, Column::Id), "51");
}

TEST_F(RunFixture, ASourceFinishesOnAnEmptyResultPage) {
    site.page("/main/corp/queryr.asp", "<html>nothing</html>");
    makeRun({{7, DispatchRules::RecordSlot}});
    run->searchCommand("kw", "");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(list.size(), 0u);
    EXPECT_EQ(site.count("/main/corp/queryr.asp"), 1);
}

TEST_F(RunFixture, CompletionTextsForTwoSources) {
    site.page("/main/corp/queryr.asp", "");
    site.page("/company/k-kw_n-y.html", "");
    makeRun({{7, DispatchRules::RecordSlot}, {2, DispatchRules::RecordSlot}});
    run->searchCommand("kw", "");
    ASSERT_TRUE(waitForEnd());
    const auto& s = observer.statuses;
    ASSERT_GE(s.size(), 4u);
    EXPECT_EQ(s.front(), g("开始线程") + ">>>>>>>>>>>>");
    EXPECT_NE(std::find(s.begin(), s.end(), g("开始线程") + ">>>>"), s.end());
    EXPECT_NE(std::find(s.begin(), s.end(), g("开始线程") + ">>"), s.end());
    EXPECT_EQ(s.back(), g("搜索完毕:") + "kw");
}

TEST_F(RunFixture, MarksFollowEveryStartedSourceAllSevenIncluded) {
    for (const char* path : {"/main/corp/queryr.asp", "/company/k-kw_n-y.html", "/baidu", "/s3",
                             "/s4", "/search", "/s6"})
        site.hang(path);
    makeRun({{1, DispatchRules::WebSearch},
             {2, DispatchRules::RecordSlot},
             {3, DispatchRules::RecordSlot},
             {4, DispatchRules::RecordSlot},
             {5, DispatchRules::Portal},
             {6, DispatchRules::YellowPages},
             {7, DispatchRules::RecordSlot}});
    run->searchCommand("kw", "", {6, 5, 4, 3, 2, 1, 7});
    EXPECT_EQ(run->runStatus(), g("开始线程") + std::string(14, '>'));
    run->stop();
    ASSERT_TRUE(waitForEnd());
    const auto& s = observer.statuses;
    EXPECT_NE(std::find(s.begin(), s.end(), g("正在停止") + std::string(6, '<')), s.end());
    EXPECT_EQ(s.back(), g("搜索完毕:") + "kw");
}

TEST_F(RunFixture, StartUrlsOfTheSearchStart) {
    makeRun({{7, DispatchRules::RecordSlot}, {2, DispatchRules::RecordSlot}});
    run->searchCommand(" " + g("手机 配件") + " ", g("北京"));
    ASSERT_TRUE(waitForEnd());
    auto requests = site.requests();
    // httplib decodes the path; the escaped bytes arrive as the GBK bytes.
    std::string alibaba =
        "/company/k-" + g("手机") + "+" + g("配件") + "_province-" + g("北京") + "_n-y.html?page=1";
    EXPECT_NE(std::find(requests.begin(), requests.end(), alibaba), requests.end())
        << ::testing::PrintToString(requests);
    EXPECT_EQ(run->form(7).province, "110000");
    EXPECT_EQ(run->form(7).keyword, g("手机+配件"));
    EXPECT_EQ(run->runStatus(), g("搜索完毕:") + " " + g("手机 配件") + " ");
}

TEST_F(RunFixture, InputChecksStartNothing) {
    makeRun({{7, DispatchRules::RecordSlot}});
    EXPECT_EQ(run->searchCommand("", ""), InputProblem::NoKeyword);
    EXPECT_EQ(run->searchCommand("", g("(省份)")), InputProblem::NoKeywordOrProvince);
    EXPECT_FALSE(run->searching());
    EXPECT_TRUE(site.requests().empty());
}

TEST_F(RunFixture, StopLeavesTheSlotForTheNextRun) {
    std::string a = site.address();
    site.page("/main/corp/queryr.asp",
              "detail " + a + "/d/1\ndetail " + a + "/d/2\ndetail " + a + "/d/3\n");
    for (int i = 1; i <= 3; ++i) site.page("/d/" + std::to_string(i), "name c" + std::to_string(i));
    makeRun({{7, DispatchRules::RecordSlot}});
    // Stop right after the first detail step filled the slot, before its dispatch.
    observer.onStep = [&](int) {
        if (!run->form(7).slot[Field::Name].empty() && run->runningFlag()) run->stop();
    };
    run->searchCommand("kw", "");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(list.size(), 0u);
    EXPECT_EQ(run->form(7).slot[Field::Name], "c1");
    EXPECT_EQ(observer.statuses.back(), g("搜索完毕:") + "kw");
    EXPECT_NE(std::find(observer.statuses.begin(), observer.statuses.end(),
                        g("正在停止") + "<<<<<<<<<<<<"),
              observer.statuses.end());

    // The next run takes the leftover record in, then works off the remaining
    // detail rows of the stopped run before its own listing page.
    observer.onStep = nullptr;
    site.page("/main/corp/queryr.asp", "");
    run->searchCommand("kw", "");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(names(), (std::vector<std::string>{"c1", "c2", "c3"}));
}

TEST_F(RunFixture, StopEndsARunWhoseServerNeverAnswers) {
    site.hang("/main/corp/queryr.asp");
    site.hang("/company/k-kw_n-y.html");
    makeRun({{7, DispatchRules::RecordSlot}, {2, DispatchRules::RecordSlot}});
    run->searchCommand("kw", "");
    executor.runUntil([] { return false; }, 300ms);
    ASSERT_TRUE(run->searching());
    run->stop();
    ASSERT_TRUE(waitForEnd(5s));
    EXPECT_EQ(observer.statuses.back(), g("搜索完毕:") + "kw");
}

TEST_F(RunFixture, AFailingListingPageOfAnUncountedSourceIsRetriedABoundedNumberOfTimes) {
    site.page("/company/k-kw_n-y.html", "boom", 500);
    makeRun({{2, DispatchRules::RecordSlot}}, /*pageCounting=*/false);
    run->setRetryPause(1ms);
    ASSERT_TRUE(run->searchStart("kw", "", {2}));
    ASSERT_TRUE(waitForEnd(30s));
    // Each hand-out tries the page itself 1 + retries times (a 500 is transient).
    EXPECT_EQ(site.count("/company/"), (1 + kMaxListingRetries) * (1 + HttpOptions{}.retries));
    EXPECT_EQ(run->unfetchedPages(), 1);
}

TEST_F(RunFixture, AMissingHostFinishesTheSourceAtOnce) {
    makeRun({{7, DispatchRules::RecordSlot}});
    // A run control whose regional address is empty.
    SourceSet set;
    set[7] = std::make_unique<FakeSource>(7);
    RunControl bare(executor, list, SiteConfig{}, std::move(set));
    bare.searchCommand("kw", "");
    EXPECT_TRUE(executor.runUntil([&] { return !bare.searching(); }, 5s));
    EXPECT_EQ(bare.runStatus(), g("搜索完毕:") + "kw");
}

TEST_F(RunFixture, WebSearchRulesWalkListingRowsInOrderAndSetTheWebsite) {
    std::string a = site.address();
    site.page("/s1", "listing " + a + "/s2\ndetail " + a + "/h/1\n");
    site.page("/s2", "detail " + a + "/h/2\n");
    site.page("/h/1", "name one");
    site.page("/h/2", "name two");
    makeRun({{1, DispatchRules::WebSearch}}, /*pageCounting=*/false);
    ASSERT_TRUE(run->startSource(1, WorkRow{"N", a + "/s1", "1[0]0{0}"}));
    ASSERT_TRUE(waitForEnd());
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.field(0, Column::Website), a + "/h/1");
    EXPECT_EQ(list.field(1, Column::Website), a + "/h/2");
    EXPECT_EQ(site.requests(), (std::vector<std::string>{"/s1", "/h/1", "/s2", "/h/2"}));
}

TEST_F(RunFixture, PortalRulesTakeCompaniesInDuringTheStep) {
    std::string a = site.address();
    site.page("/search", "company alpha\ncompany beta\ncompany alpha\n");
    makeRun({{5, DispatchRules::Portal}});
    list.setSameNameFilter(true);
    ASSERT_TRUE(run->startSource(5, WorkRow{"N", a + "/search", "5[0]0{0}"}));
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(names(), (std::vector<std::string>{"alpha", "beta"}));
    EXPECT_EQ(site.count("/search"), 1);  // the page showed no further page
}

TEST_F(RunFixture, YellowPagesRulesWorkOffTheCategoryTable) {
    std::string a = site.address();
    site.page("/yp", "detail " + a + "/cat/1\ndetail " + a + "/cat/2\n");
    site.page("/cat/1", "company one\n");
    site.page("/cat/2", "company two\n");
    makeRun({{6, DispatchRules::YellowPages}}, /*pageCounting=*/false);
    run->setResearch(false);
    ASSERT_TRUE(run->startSource(6, WorkRow{"N", a + "/yp", "6[0]0{0}"}));
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(names(), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(site.requests(), (std::vector<std::string>{"/yp", "/cat/1", "/cat/2"}));
}

}  // namespace
}  // namespace velmora
