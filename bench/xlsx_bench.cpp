// Workbook export and import of 100,000 entries.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/bench_data.h"
#include "io/workbook.h"
#include "platform/queue_executor.h"

namespace velmora::bench {
namespace {

constexpr size_t kRows = 100000;

const CompanyList& sheetList() {
    static CompanyList list;
    if (list.size() == 0) fillList(list, kRows);
    return list;
}

void BM_XlsxExport(benchmark::State& state) {
    QueueExecutor main;
    auto report = quietReporter(main);
    std::string path = (std::filesystem::temp_directory_path() / "velmora-bench.xlsx").string();
    for (auto _ : state)
        io::exportWorkbook(
            sheetList(), path, [] { return true; }, report);
    state.counters["xlsx_export_rows_s"] = benchmark::Counter(
        static_cast<double>(kRows), benchmark::Counter::kIsIterationInvariantRate);
    std::filesystem::remove(path);
}
BENCHMARK(BM_XlsxExport)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_XlsxImport(benchmark::State& state) {
    QueueExecutor main;
    auto report = quietReporter(main);
    std::string path = (std::filesystem::temp_directory_path() / "velmora-bench-in.xlsx").string();
    io::exportWorkbook(
        sheetList(), path, [] { return true; }, report);
    for (auto _ : state) {
        auto list = std::make_unique<CompanyList>();
        io::importWorkbook(*list, path, report);
        benchmark::DoNotOptimize(list->size());
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.counters["xlsx_import_rows_s"] = benchmark::Counter(
        static_cast<double>(kRows), benchmark::Counter::kIsIterationInvariantRate);
    std::filesystem::remove(path);
}
BENCHMARK(BM_XlsxImport)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace velmora::bench
