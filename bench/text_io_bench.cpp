// Text export and import of a million realistic entries through a file in a
// temporary folder.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/bench_data.h"
#include "io/text_format.h"
#include "platform/queue_executor.h"

namespace velmora::bench {
namespace {

constexpr size_t kEntries = 1000000;

std::string tempPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

const CompanyList& sourceList() {
    static CompanyList list;
    if (list.size() == 0) fillList(list, kEntries);
    return list;
}

void BM_TextExport(benchmark::State& state) {
    QueueExecutor main;
    auto report = quietReporter(main);
    const CompanyList& list = sourceList();
    std::string path = tempPath("velmora-bench-export.txt");
    for (auto _ : state)
        io::exportText(
            list, path, [] { return true; }, report);
    auto bytes = static_cast<double>(std::filesystem::file_size(path));
    state.counters["text_export_mb_s"] =
        benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    std::filesystem::remove(path);
}
BENCHMARK(BM_TextExport)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TextImport(benchmark::State& state) {
    QueueExecutor main;
    auto report = quietReporter(main);
    std::string path = tempPath("velmora-bench-import.txt");
    io::exportText(
        sourceList(), path, [] { return true; }, report);
    auto bytes = static_cast<double>(std::filesystem::file_size(path));
    for (auto _ : state) {
        auto list = std::make_unique<CompanyList>();
        io::importText(*list, path, report);
        benchmark::DoNotOptimize(list->size());
        state.PauseTiming();  // freeing the list is not part of the import
        list.reset();
        state.ResumeTiming();
    }
    state.counters["text_import_mb_s"] =
        benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    std::filesystem::remove(path);
}
BENCHMARK(BM_TextImport)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace velmora::bench
