// The directory with script-embedded records on a 1 MB company page built to
// hurt: script calls of thousands of empty arguments, an introduction made of
// nothing but line breaks and non-breaking spaces, and a heading at the very
// end behind a long run of punctuation, so that every search, split, backward
// step and cleaning step walks the whole page.
#include <benchmark/benchmark.h>

#include <chrono>

#include "platform/gbk.h"
#include "sources/framework/worker_step.h"
#include "sources/scriptdirectory/script_directory_source.h"

namespace velmora::bench {
namespace {

std::string worstDetailPage(std::size_t bytes) {
    static const std::string kFullStop = gbk::fromUtf8("。");
    std::string page = "<script>addcompanyinfo(\"";
    while (page.size() < bytes / 8) page += "\",\"";
    page += "\");</script>\r\n<script>addcompanybrief(\"";
    while (page.size() < bytes / 4) page += "\",\"";
    page += "(0577)88776655";  // no closing: the call runs to the page end
    // The introduction: breaks and spaces only, then one character and a
    // long run of full stops, which a backward step passes over one by one.
    page += "<br>";
    while (page.size() < bytes * 3 / 4) page += "&nbsp;\r\n&nbsp;&nbsp;\n\r";
    page += gbk::fromUtf8("企");
    while (page.size() < bytes - 16) page += kFullStop;
    page += gbk::fromUtf8("公司基本信息");
    return page;
}

void BM_ParseWorstScriptDirectoryDetail(benchmark::State& state) {
    const std::string page = worstDetailPage(1 << 20);
    ScriptDirectorySource source("http://dir.example/search/company.asp");
    WorkKey key = WorkKey::parse("3[0]1{0}");
    double totalMs = 0;
    for (auto _ : state) {
        std::string copy = page;
        auto start = std::chrono::steady_clock::now();
        WorkForm form;
        parseFetchedPage(source, form, key, copy, discardingIntake());
        totalMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        benchmark::DoNotOptimize(form.slot);
    }
    state.counters["parse_worst_ms.3.detail"] =
        benchmark::Counter(totalMs, benchmark::Counter::kAvgIterations);
    state.counters["page_kb"] = static_cast<double>(page.size()) / 1024.0;
}
BENCHMARK(BM_ParseWorstScriptDirectoryDetail)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora::bench
