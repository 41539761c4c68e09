#pragma once
// The figures of the parse benchmarks: realistic pages as throughput (MB/s),
// pages built to be worst-case as milliseconds per page, each with the size
// of the page.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>

namespace velmora::bench {

// `figure` in MB/s of one page of `pageBytes` parsed per iteration.
inline void reportParseRate(benchmark::State& state, const std::string& figure,
                            std::size_t pageBytes) {
    state.counters[figure] = benchmark::Counter(static_cast<double>(pageBytes) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
    state.counters["page_kb"] = static_cast<double>(pageBytes) / 1024.0;
}

// `figure` in milliseconds per iteration (one page each).
inline void reportParseMillis(benchmark::State& state, const std::string& figure,
                              std::size_t pageBytes) {
    state.counters[figure] = benchmark::Counter(
        1e-3, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["page_kb"] = static_cast<double>(pageBytes) / 1024.0;
}

}  // namespace velmora::bench
