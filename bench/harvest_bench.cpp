// A whole source-7 harvest against the demo sites on loopback, against
// fetching exactly the same addresses one after another on one kept-alive
// connection; and how long a stop takes while both sources wait on a server
// that never answers.
#include <benchmark/benchmark.h>

#include <mutex>

#include "app/engine/run_control.h"
#include "demo/demo_sites.h"
#include "platform/gbk.h"
#include "platform/queue_executor.h"
#include "sources/registry.h"

namespace velmora::bench {
namespace {

using Clock = std::chrono::steady_clock;

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

void BM_HarvestVsRaw(benchmark::State& state) {
    demo::DemoOptions options;
    options.companies = 2000;
    options.pageSize = 20;
    demo::DemoSites sites(options);
    SiteConfig config = sites.siteConfig();
    double ratio = 0, companiesPerSecond = 0;
    for (auto _ : state) {
        std::vector<std::string> log;
        std::mutex mutex;
        QueueExecutor main;
        CompanyList list;
        auto started = Clock::now();
        {
            RunControl run(main, list, config, makeSources(config), [&](int) {
                return std::make_unique<RecordingClient>(makeCurlHttpClient(config.http), log,
                                                         mutex);
            });
            run.setResearch(false);
            run.searchStart(gbk::fromUtf8("手机"), "", {7});
            main.runUntil([&] { return !run.searching(); });
        }
        double harvestSeconds = std::chrono::duration<double>(Clock::now() - started).count();

        auto raw = makeCurlHttpClient(config.http);
        started = Clock::now();
        for (const auto& url : log) benchmark::DoNotOptimize(raw->get(url).size());
        double rawSeconds = std::chrono::duration<double>(Clock::now() - started).count();

        double companies = static_cast<double>(list.size());
        companiesPerSecond = companies / harvestSeconds;
        ratio = (companies / harvestSeconds) / (companies / rawSeconds);
        state.counters["companies"] = companies;
    }
    state.counters["harvest_vs_raw"] = ratio;
    state.counters["harvest_companies_per_s"] = companiesPerSecond;
}
BENCHMARK(BM_HarvestVsRaw)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

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
