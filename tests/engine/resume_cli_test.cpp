// Harvests that survive kill -9: a harvest killed again and again and then
// resumed gives the list of an uninterrupted run without fetching again a
// page it had taken in; a batch killed in its third search and run again; the
// shards of a plan merged; what a journal holds written out.
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "demo/demo_sites.h"
#include "support/process.h"
#include "support/test_support.h"

#ifndef VELMORA_CLI
#error "the resume tests need the velmora-cli program"
#endif

namespace velmora {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;
using testing::readFile;
using testing::runProcess;
using testing::TempDir;
using testing::writeFile;

bool exists(const std::string& path) {
    return std::filesystem::exists(path);
}

// The pages a source itself requests (not the e-mail lookup's).
bool sourcePage(const demo::RequestRecord& request) {
    return request.target.find("/main/corp/") != std::string::npos ||
           (request.method == "POST" && request.target.rfind("/search", 0) == 0);
}

// Pages that a process requested although an earlier process (cut off at a
// kill) had requested them: `segments` are the log's bounds of each process.
// A process may ask for a page twice itself (steps that ran ahead and were
// dropped); that is not counted here. `which` names them.
int fetchedAgain(const std::vector<demo::RequestRecord>& log, const std::vector<size_t>& segments,
                 std::string& which) {
    std::set<std::string> before;
    int again = 0;
    for (size_t k = 0; k + 1 < segments.size(); ++k) {
        std::set<std::string> mine;
        for (size_t i = segments[k]; i < segments[k + 1]; ++i)
            if (sourcePage(log[i]))
                mine.insert(log[i].method + " " + log[i].target + " " + log[i].body);
        for (const auto& page : mine)
            if (before.count(page)) {
                ++again;
                which += page + "\n";
            }
        before.insert(mine.begin(), mine.end());
    }
    return again;
}

int sourcePages(const std::vector<demo::RequestRecord>& log, size_t from) {
    int n = 0;
    for (size_t i = from; i < log.size(); ++i) n += sourcePage(log[i]) ? 1 : 0;
    return n;
}

class ResumeTest : public ::testing::Test {
  protected:
    void start(demo::DemoOptions options) {
        sites = std::make_unique<demo::DemoSites>(std::move(options));
        sites->siteConfig().save(dir.file("sites.ini"));
    }
    std::vector<std::string> cliArgs(std::vector<std::string> args) {
        args.insert(args.begin(), VELMORA_CLI);
        return args;
    }
    testing::ProcessResult cli(std::vector<std::string> args) {
        return runProcess(cliArgs(std::move(args)));
    }
    std::vector<std::string> harvestArgs(const std::string& source, const std::string& out) {
        return {"harvest", "--keyword",           "手机",      "--province", "浙江",
                "--sites", dir.file("sites.ini"), "--sources", source,       "--out",
                out};
    }

    TempDir dir;
    std::unique_ptr<demo::DemoSites> sites;
};

struct KillCase {
    const char* name;
    const char* source;
    std::vector<demo::Fault> faults;  // slow steps, so that kills land inside the run
    int parallel = 1;                 // steps of a source in flight at once
};

TEST_F(ResumeTest, AHarvestKilledAgainAndAgainResumesToTheUninterruptedList) {
    const std::vector<KillCase> cases = {
        {"regional directory", "7", {{7, demo::Fault::Detail, -1, demo::Fault::Delay, 15}}},
        // Source 5 takes companies in during its step, each after its e-mail lookup.
        {"portal search", "5", {{0, demo::Fault::Search, -1, demo::Fault::Delay, 15}}},
        // Detail steps that run ahead and are lost at a kill are not taken in either.
        {"regional directory, four steps at once",
         "7",
         {{7, demo::Fault::Detail, -1, demo::Fault::Delay, 40}},
         4},
    };
    std::mt19937 random(20240611);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        demo::DemoOptions options;
        options.companies = 70;
        options.faults = c.faults;
        start(options);
        std::string reference = dir.file(std::string("ref") + c.source + ".jsonl");
        auto r = cli(harvestArgs(c.source, reference));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        size_t logFrom = sites->requestLog().size();
        int referencePages = sourcePages(sites->requestLog(), 0);

        std::string out = dir.file(std::string("out") + c.source + ".jsonl");
        auto args = harvestArgs(c.source, out);
        args.insert(args.end(), {"--resume", "--parallel", std::to_string(c.parallel)});
        int kills = 0, killedMidRun = 0;
        bool finished = false;
        std::vector<size_t> segments{logFrom};
        for (int round = 0; round < 5 && !finished; ++round) {
            ChildProcess child(cliArgs(args));
            ASSERT_TRUE(child.started());
            std::this_thread::sleep_for(
                std::chrono::milliseconds(std::uniform_int_distribution<int>(150, 600)(random)));
            if (child.running()) {
                child.kill(SIGKILL);
                ++kills;
            }
            finished = child.wait().exitCode == 0;  // it ended before the kill
            if (!finished && exists(out + ".journal")) ++killedMidRun;
            segments.push_back(sites->requestLog().size());
        }
        EXPECT_GT(killedMidRun, 0) << "no kill landed inside the harvest";
        if (!finished) {
            r = cli(args);
            ASSERT_EQ(r.exitCode, 0) << r.err;
            segments.push_back(sites->requestLog().size());
        }

        EXPECT_EQ(readFile(out), readFile(reference));
        EXPECT_FALSE(exists(out + ".journal"));
        // Only the step in flight at a kill, and those that ran ahead of it
        // (with more than one at once also the next result page), may be
        // requested again by the next process.
        int inFlight = c.parallel == 1 ? 1 : c.parallel + 1;
        std::string again;
        EXPECT_LE(fetchedAgain(sites->requestLog(), segments, again), kills * inFlight) << again;
        if (c.parallel == 1) {
            EXPECT_LE(sourcePages(sites->requestLog(), logFrom), referencePages + kills);
        }
        sites.reset();
    }
}

TEST_F(ResumeTest, RecoverWritesWhatTheJournalOfAKilledHarvestHolds) {
    demo::DemoOptions options;
    options.faults = {{7, demo::Fault::Detail, -1, demo::Fault::Delay, 20}};
    start(options);
    std::string reference = dir.file("ref.jsonl"), out = dir.file("out.jsonl");
    ASSERT_EQ(cli(harvestArgs("7", reference)).exitCode, 0);
    {
        ChildProcess child(cliArgs(harvestArgs("7", out)));
        std::this_thread::sleep_for(500ms);
        ASSERT_TRUE(child.running());
        child.kill(SIGKILL);
        child.wait();
    }
    ASSERT_TRUE(exists(out + ".journal"));
    auto r = cli({"recover", out + ".journal", dir.file("recovered.jsonl")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string recovered = readFile(dir.file("recovered.jsonl"));
    EXPECT_FALSE(recovered.empty());
    EXPECT_EQ(readFile(reference).rfind(recovered, 0), 0u) << "not the start of the list";

    // A new harvest without --resume keeps the old journal aside.
    ASSERT_EQ(cli(harvestArgs("7", out)).exitCode, 0);
    EXPECT_TRUE(exists(out + ".journal.old"));
    EXPECT_FALSE(exists(out + ".journal"));
    EXPECT_EQ(readFile(out), readFile(reference));

    EXPECT_EQ(cli({"recover", dir.file("none.journal"), dir.file("x.jsonl")}).exitCode, 1);
}

class BatchTest : public ResumeTest {
  protected:
    std::vector<std::string> batchArgs(const std::string& out, const std::string& shard = "") {
        std::vector<std::string> args{"batch",     dir.file("plan.txt"),
                                      "--sites",   dir.file("sites.ini"),
                                      "--sources", "7",
                                      "--out",     out};
        if (!shard.empty()) args.insert(args.end(), {"--shard", shard});
        return args;
    }
    static int doneLines(const std::string& statePath) {
        std::string text = exists(statePath) ? readFile(statePath) : "";
        int n = 0;
        for (size_t at = text.find("\ndone "); at != std::string::npos;
             at = text.find("\ndone ", at + 1))
            ++n;
        return n;
    }
};

TEST_F(BatchTest, ABatchKilledInItsThirdSearchResumesWhereItStood) {
    demo::DemoOptions options;
    options.companies = 30;
    options.faults = {{7, demo::Fault::Detail, -1, demo::Fault::Delay, 15}};
    start(options);
    writeFile(dir.file("plan.txt"), "手机\t浙江\n电脑\t江苏\n# a remark\n\n服装\t\n茶叶\t福建\n");
    std::string reference = dir.file("ref.jsonl"), out = dir.file("out.jsonl");
    auto r = cli(batchArgs(reference));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("summary (4 searches)"), std::string::npos) << r.err;
    int referencePages = sourcePages(sites->requestLog(), 0);
    size_t logFrom = sites->requestLog().size();

    {
        ChildProcess child(cliArgs(batchArgs(out)));
        for (int i = 0; i < 2000 && child.running() && doneLines(out + ".batch") < 2; ++i)
            std::this_thread::sleep_for(5ms);
        std::this_thread::sleep_for(150ms);
        ASSERT_TRUE(child.running());
        child.kill(SIGKILL);
        child.wait();
    }
    ASSERT_EQ(doneLines(out + ".batch"), 2);
    ASSERT_TRUE(exists(out + ".journal"));

    r = cli(batchArgs(out));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("2 of 4 searches done"), std::string::npos) << r.err;
    EXPECT_EQ(readFile(out), readFile(reference));
    EXPECT_NE(readFile(out + ".batch").find("complete"), std::string::npos);
    EXPECT_FALSE(exists(out + ".journal"));
    // The two ended searches are not requested again, the third only from where it stood.
    EXPECT_LE(sourcePages(sites->requestLog(), logFrom), referencePages + 1);

    // Another plan under the same unfinished state is refused, not mixed in.
    std::string state = readFile(out + ".batch");
    writeFile(out + ".batch", state.erase(state.find("complete")));
    writeFile(dir.file("plan.txt"), "手机\t浙江\n");
    r = cli(batchArgs(out));
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("another plan"), std::string::npos) << r.err;
}

TEST_F(BatchTest, TwoShardsMergedEqualOneUnshardedRun) {
    demo::DemoOptions options;
    options.companies = 3;
    start(options);
    // 34 provinces from the "*" line and one search for all of China.
    writeFile(dir.file("plan.txt"), "\xEF\xBB\xBF手机\t*\r\n电脑\r\n");
    std::string all = dir.file("all.txt"), a = dir.file("a.txt"), b = dir.file("b.txt");
    auto r = cli(batchArgs(all));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("summary (35 searches)"), std::string::npos) << r.err;
    ASSERT_EQ(cli(batchArgs(a, "1/2")).exitCode, 0);
    r = cli(batchArgs(b, "2/2"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("summary (17 searches)"), std::string::npos) << r.err;

    std::string merged = dir.file("merged.txt");
    r = cli({"convert", "--merge", a, b, merged});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readFile(merged), readFile(all));
    EXPECT_GT(readFile(all).size(), 1000u);

    // Files without a batch state are merged as given, IDs renumbered.
    writeFile(dir.file("x.txt"), "\xA1\xA4[9]\r\nA\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    r = cli({"convert", "--merge", dir.file("x.txt"), dir.file("x.txt"), dir.file("xx.jsonl")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string xx = readFile(dir.file("xx.jsonl"));
    EXPECT_NE(xx.find("{\"id\":\"1\""), std::string::npos);
    EXPECT_NE(xx.find("{\"id\":\"2\""), std::string::npos);
    r = cli({"convert", "--merge", "--same-name-filter", dir.file("x.txt"), dir.file("x.txt"),
             dir.file("x1.jsonl")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("x1.jsonl")).find("{\"id\":\"2\""), std::string::npos);

    EXPECT_EQ(cli(batchArgs(dir.file("c.txt"), "3/2")).exitCode, 2);
    writeFile(dir.file("plan.txt"), "手机\t火星\n");
    EXPECT_EQ(cli(batchArgs(dir.file("c.txt"))).exitCode, 2);
}

}  // namespace
}  // namespace velmora
