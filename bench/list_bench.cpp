// Intake speed with the same-name filter on, and the memory an entry costs.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_data.h"

namespace velmora::bench {
namespace {

constexpr size_t kEntries = 1000000;

// A tenth of the records repeat names: every tenth record reuses a name
// from shortly before it, so the filter refuses it.
std::vector<RecordSlot> intakeRecords() {
    std::vector<RecordSlot> records;
    records.reserve(kEntries);
    for (size_t i = 0; i < kEntries; ++i) records.push_back(sampleRecord(i % 10 == 9 ? i - 5 : i));
    return records;
}

void BM_Intake(benchmark::State& state) {
    static const std::vector<RecordSlot> records = intakeRecords();
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<CompanyList>();
        list->setSameNameFilter(true);
        state.ResumeTiming();
        // The slot is filled as a worker fills it, then taken in.
        RecordSlot slot;
        for (const auto& record : records) {
            slot = record;
            list->intake(slot);
        }
        benchmark::DoNotOptimize(list->size());
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.counters["intake_per_s"] = benchmark::Counter(
        static_cast<double>(kEntries), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Intake)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BytesPerEntry(benchmark::State& state) {
    double perEntry = 0;
    for (auto _ : state) {
        size_t before = residentBytes();
        auto list = std::make_unique<CompanyList>();
        fillList(*list, kEntries);
        size_t after = residentBytes();
        perEntry = static_cast<double>(after - before) / static_cast<double>(kEntries);
        benchmark::DoNotOptimize(list->size());
    }
    state.counters["bytes_per_entry"] = perEntry;
    state.counters["field_bytes"] = averageFieldBytes();
}
BENCHMARK(BM_BytesPerEntry)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace velmora::bench
