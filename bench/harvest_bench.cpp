// A whole source-7 harvest against the demo sites on loopback, against
// fetching exactly the same addresses one after another on one kept-alive
// connection; the same kind of harvest against sites that answer only after
// 50 ms, one step at a time and with steps running ahead; and how long a stop
// takes while both sources wait on a server that never answers.
//
// The machine the figures come from is often shared: besides wall-clock
// figures, the CPU time of the whole process (harvester and demo sites) is
// given, which other loads distort far less.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <map>
#include <mutex>

#include "app/engine/run_control.h"
#include "demo/demo_sites.h"
#include "platform/gbk.h"
#include "platform/queue_executor.h"
#include "sources/registry.h"

namespace velmora::bench {
namespace {

using Clock = std::chrono::steady_clock;

// CPU time of the whole process so far, in seconds.
double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Records every address its client is asked for.
class RecordingClient : public HttpClient {
  public:
    RecordingClient(std::unique_ptr<HttpClient> inner, std::vector<std::string>& log,
                    std::mutex& mutex)
        : inner_(std::move(inner)), log_(log), mutex_(mutex) {}
    std::string get(const std::string& url) override {
        {
            std::lock_guard lock(mutex_);
            log_.push_back(url);
        }
        return inner_->get(url);
    }
    std::string post(const std::string& url, const text::FormFields& fields) override {
        return inner_->post(url, fields);
    }
    void abort() override { inner_->abort(); }
    void resume() override { inner_->resume(); }

  private:
    std::unique_ptr<HttpClient> inner_;
    std::vector<std::string>& log_;
    std::mutex& mutex_;
};

// Wall-clock and CPU seconds of one run of `work`.
struct Cost {
    double wall = 0;
    double cpu = 0;
};
template <typename Work>
Cost measure(Work&& work) {
    auto started = Clock::now();
    double cpuStarted = processCpuSeconds();
    work();
    return {std::chrono::duration<double>(Clock::now() - started).count(),
            processCpuSeconds() - cpuStarted};
}

void BM_HarvestVsRaw(benchmark::State& state) {
    demo::DemoOptions options;
    options.companies = 2000;
    options.pageSize = 20;
    demo::DemoSites sites(options);
    SiteConfig config = sites.siteConfig();
    // Harvest and raw fetching take turns, and each keeps its best round: a
    // load that comes and goes on the machine hits both alike.
    constexpr int kRounds = 5;
    Cost harvest{1e9, 1e9}, raw{1e9, 1e9};
    double companies = 0;
    for (auto _ : state) {
        for (int round = 0; round < kRounds; ++round) {
            std::vector<std::string> log;
            std::mutex mutex;
            QueueExecutor main;
            CompanyList list;
            Cost h = measure([&] {
                RunControl run(main, list, config, makeSources(config), [&](int) {
                    return std::make_unique<RecordingClient>(makeCurlHttpClient(config.http), log,
                                                             mutex);
                });
                run.setResearch(false);
                run.searchStart(gbk::fromUtf8("手机"), "", {7});
                main.runUntil([&] { return !run.searching(); });
            });
            auto client = makeCurlHttpClient(config.http);
            Cost r = measure([&] {
                for (const auto& url : log) benchmark::DoNotOptimize(client->get(url).size());
            });
            harvest = {std::min(harvest.wall, h.wall), std::min(harvest.cpu, h.cpu)};
            raw = {std::min(raw.wall, r.wall), std::min(raw.cpu, r.cpu)};
            companies = static_cast<double>(list.size());
        }
    }
    state.counters["companies"] = companies;
    state.counters["harvest_vs_raw"] = raw.wall / harvest.wall;
    // The same ratio in CPU time (harvester and sites together).
    state.counters["harvest_vs_raw_cpu"] = raw.cpu / harvest.cpu;
    state.counters["harvest_cpu_ms"] = harvest.cpu * 1000;
    state.counters["raw_cpu_ms"] = raw.cpu * 1000;
    state.counters["harvest_companies_per_s"] = companies / harvest.wall;
}
BENCHMARK(BM_HarvestVsRaw)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// A source-7 harvest of 400 companies (20 result pages of 20) with the
// e-mail lookup, against sites that answer every request after 50 ms; its
// companies per second with steps ahead, against one step at a time.
void BM_HarvestLatency(benchmark::State& state) {
    demo::DemoOptions options;
    options.companies = 400;
    options.pageSize = 20;
    options.latencyMs = 50;
    demo::DemoSites sites(options);
    std::map<int, double> perSecond;
    size_t companies = 0;
    for (auto _ : state) {
        for (int parallel : {1, 4, 8}) {
            SiteConfig config = sites.siteConfig();
            config.parallelSteps = parallel;
            QueueExecutor main;
            CompanyList list;
            auto started = Clock::now();
            {
                RunControl run(main, list, config, makeSources(config));
                run.setResearch(true);
                run.searchStart(gbk::fromUtf8("手机"), "", {7});
                main.runUntil([&] { return !run.searching(); });
            }
            double seconds = std::chrono::duration<double>(Clock::now() - started).count();
            companies = list.size();
            perSecond[parallel] = static_cast<double>(companies) / seconds;
        }
    }
    state.counters["harvest_latency_companies"] = static_cast<double>(companies);
    state.counters["harvest_latency_companies_s__1"] = perSecond[1];
    state.counters["harvest_latency_companies_s__4"] = perSecond[4];
    state.counters["harvest_latency_companies_s__8"] = perSecond[8];
    state.counters["harvest_latency_speedup__4"] = perSecond[4] / perSecond[1];
    state.counters["harvest_latency_speedup__8"] = perSecond[8] / perSecond[1];
}
BENCHMARK(BM_HarvestLatency)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(1)
    ->UseRealTime();

void BM_StopLatency(benchmark::State& state) {
    demo::DemoOptions options;
    options.faults.push_back({7, demo::Fault::Listing, -1, demo::Fault::Hang, 0});
    options.faults.push_back({2, demo::Fault::Listing, -1, demo::Fault::Hang, 0});
    demo::DemoSites sites(options);
    SiteConfig config = sites.siteConfig();
    double latency = 0;
    for (auto _ : state) {
        QueueExecutor main;
        CompanyList list;
        RunControl run(main, list, config, makeSources(config));
        run.searchStart(gbk::fromUtf8("手机"), "", {7, 2});
        // Both listing requests are now waiting on the server.
        main.runUntil([] { return false; }, std::chrono::milliseconds(300));
        auto stopped = Clock::now();
        run.stop();
        main.runUntil([&] { return !run.searching(); });
        latency = std::chrono::duration<double>(Clock::now() - stopped).count();
    }
    state.counters["stop_latency_s"] = latency;
}
BENCHMARK(BM_StopLatency)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace velmora::bench
