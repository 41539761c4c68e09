// What the crash-safe journal costs: the intake of many records with and
// without the journal (the intake itself; and, separately, with the wait for
// the disk at its end), and a source-7 harvest against the demo sites with
// and without the journal and its per-dispatch checkpoints, as
// `velmora-cli harvest` runs it, up to the final sync. journal_overhead is the
// larger of the intake's and the harvest's relative cost.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "app/engine/list_journal.h"
#include "app/engine/run_control.h"
#include "app/engine/run_journal.h"
#include "bench/bench_data.h"
#include "platform/gbk.h"
#include "platform/queue_executor.h"
#include "sources/registry.h"
#ifdef VELMORA_HAVE_DEMO
#include "demo/demo_sites.h"
#endif

namespace velmora::bench {
namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

std::string journalFile(const char* name) {
    std::string file = "velmora-bench-";
    file += std::to_string(::getpid());
    file += '-';
    file += name;
    return (std::filesystem::temp_directory_path() / file).string();
}

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct IntakeTimes {
    double intake = 0;  // the intake itself (wall clock)
    double cpu = 0;     // the main thread's processor time for it
    double synced = 0;  // until every entry is on the disk, as at the end of a run
};

IntakeTimes intakeSeconds(const std::vector<RecordSlot>& records, bool journaled) {
    CompanyList list;
    list.setSameNameFilter(true);
    ListJournal journal(list);
    std::string path = journalFile("intake.journal"), error;
    if (journaled) journal.create(path, false, error);
    auto started = Clock::now();
    double cpuStarted = threadSeconds();
    RecordSlot slot;
    for (const auto& record : records) {
        slot = record;
        list.intake(slot);
    }
    IntakeTimes t;
    t.intake = seconds(started);
    t.cpu = threadSeconds() - cpuStarted;
    if (journaled) journal.sync();
    t.synced = seconds(started);
    journal.remove();
    return t;
}

#ifdef VELMORA_HAVE_DEMO
// The harvest's seconds; `fixed` gets the part spent creating the journal and
// forcing it to the disk at the end, which a run pays once, whatever its size.
double harvestSeconds(const SiteConfig& config, bool journaled, size_t& journalBytes,
                      size_t& entries, double& fixed) {
    QueueExecutor main;
    CompanyList list;
    ListJournal journal(list);
    RunJournal recorder(journal);
    std::string path = journalFile("harvest.journal"), error;
    auto started = Clock::now();
    {
        RunControl run(main, list, config, makeSources(config));
        run.setResearch(false);
        fixed = 0;
        if (journaled) {
            auto creating = Clock::now();
            journal.create(path, false, error);
            fixed += seconds(creating);
            run.setRecorder(&recorder);
            recorder.searchStarted({0, gbk::fromUtf8("手机"), "", {7}, false});
        }
        run.searchStart(gbk::fromUtf8("手机"), "", {7});
        main.runUntil([&] { return !run.searching(); });
        if (journaled) {
            auto syncing = Clock::now();
            journal.sync();
            fixed += seconds(syncing);
        }
    }
    double t = seconds(started);
    entries = list.size();
    std::error_code ec;
    journalBytes = journaled ? std::filesystem::file_size(path, ec) : 0;
    journal.remove();
    return t;
}
#endif

void BM_JournalOverhead(benchmark::State& state) {
    static const std::vector<RecordSlot> records = [] {
        std::vector<RecordSlot> v;
        for (size_t i = 0; i < 300000; ++i) v.push_back(sampleRecord(i));
        return v;
    }();
#ifdef VELMORA_HAVE_DEMO
    demo::DemoOptions options;
    options.companies = 2000;
    options.pageSize = 20;
    demo::DemoSites sites(options);
    SiteConfig config = sites.siteConfig();
#endif
    double intake = 0, intakeCpu = 0, intakeSynced = 0, harvest = 0, harvestSteps = 0;
    double bytesPerEntry = 0;
    for (auto _ : state) {
        // Pairs run back to back, which goes first alternating; the figure is
        // the median of the pairs' ratios. Load that comes and goes on a
        // shared machine lands on both halves of a pair or spoils only a few.
        std::vector<double> walls, cpus, synceds;
        for (int i = 0; i < 9; ++i) {
            IntakeTimes p, t;
            if (i % 2) {
                t = intakeSeconds(records, true);
                p = intakeSeconds(records, false);
            } else {
                p = intakeSeconds(records, false);
                t = intakeSeconds(records, true);
            }
            walls.push_back(t.intake / p.intake);
            cpus.push_back(t.cpu / p.cpu);
            synceds.push_back(t.synced / p.intake);
        }
        intake = median(walls) - 1;
        intakeCpu = median(cpus) - 1;
        intakeSynced = median(synceds) - 1;
#ifdef VELMORA_HAVE_DEMO
        size_t bytes = 0, entries = 0;
        std::vector<double> ratios, stepRatios;
        for (int i = 0; i < 9; ++i) {
            double plain, journaled, fixed, none;
            if (i % 2) {
                journaled = harvestSeconds(config, true, bytes, entries, fixed);
                plain = harvestSeconds(config, false, bytes, entries, none);
            } else {
                plain = harvestSeconds(config, false, bytes, entries, none);
                journaled = harvestSeconds(config, true, bytes, entries, fixed);
            }
            ratios.push_back(journaled / plain);
            stepRatios.push_back((journaled - fixed) / plain);
        }
        harvest = median(ratios) - 1;
        harvestSteps = median(stepRatios) - 1;
        bytesPerEntry = entries ? static_cast<double>(bytes) / static_cast<double>(entries) : 0;
#endif
    }
    state.counters["journal_overhead"] = std::max(intake, harvest);
    state.counters["journal_overhead__intake"] = intake;
    state.counters["journal_overhead__harvest"] = harvest;
    // The same without the journal's creation and final sync: what every
    // step of a longer harvest pays.
    state.counters["journal_overhead__harvest_steps"] = harvestSteps;
    // The main thread's own cost, and the intake with the disk writes of
    // 300,000 entries waited for at its end.
    state.counters["journal_overhead__intake_cpu"] = intakeCpu;
    state.counters["journal_overhead__intake_synced"] = intakeSynced;
    state.counters["journal_bytes_per_entry"] = bytesPerEntry;
}
BENCHMARK(BM_JournalOverhead)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// One checkpoint as a dispatch writes it: a source-7 form with a full result
// page of detail rows, encoded against the previous one, queued and handed
// to the system.
void BM_Checkpoint(benchmark::State& state) {
    QueueExecutor main;
    CompanyList list;
    ListJournal journal(list);
    RunJournal recorder(journal);
    std::string path = journalFile("checkpoint.journal"), error;
    journal.create(path, false, error);
    SiteConfig config;
    config.regional = "http://127.0.0.1:1";
    RunControl run(main, list, config, makeSources(config));
    WorkForm& form = run.form(7);
    form.listing.write(1, "Y", config.regional + "/main/corp/queryr.asp?page=3", "7[0]0{0}");
    for (int r = 1; r <= 20; ++r)
        form.detail.write(
            r, "N", config.regional + "/main/corp/detail.asp?corpid=" + std::to_string(100000 + r),
            "7[0]1{0}");
    form.detailCount = 20;
    int next = 1;
    for (auto _ : state) {
        WorkRow& row = form.detail.at(next);
        row.mark = "Y";
        form.nextDetailRow = next + 1;
        recorder.handingOut(7, row, next, run);
        if (++next > 20) {
            next = 1;
            for (int r = 1; r <= 20; ++r) form.detail.at(r).mark = "N";
        }
    }
    state.counters["checkpoint_us"] = benchmark::Counter(
        1e-6, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    journal.remove();
}
BENCHMARK(BM_Checkpoint)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace velmora::bench
