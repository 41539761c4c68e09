// The homepage contact extractor (the detail step of the web-search source):
// page check's lower-casing plus extractor on 100 KB demo homepages, and on
// a 1 MB page built to make every loop of the extractor work its hardest.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "demo/websearch/homepages.h"
#include "platform/gbk.h"
#include "sources/framework/text_scan.h"
#include "sources/websearch/homepage_extractor.h"

namespace velmora::bench {
namespace {

// One homepage of each layout, grown to 100 KB.
const std::vector<std::string>& largeHomepages() {
    static const std::vector<std::string> pages = [] {
        std::vector<std::string> v;
        for (int n : {1, 7, 13, 19, 25}) v.push_back(demo::paddedHomepage(n, 100 * 1024));
        return v;
    }();
    return pages;
}

// Thousands of phone labels with markup and no number, unfinished "<script",
// "地址" without a place character, "经理" without a name, labels whose
// markup skip runs from digit to digit, and a long number run with a year.
std::string worstPage(size_t bytes) {
    const std::string phone = gbk::fromUtf8("电话：<b>请来电</b>tel 热线<1");
    const std::string script = "<script language=js x=";
    const std::string address = gbk::fromUtf8("地址：请来电询问。地 址");
    const std::string manager = gbk::fromUtf8("经理：先生<i>总经理</i>负责人");
    const std::string contact = gbk::fromUtf8("联系人：先生 ");
    std::string page = "<html><title>" + gbk::fromUtf8("首页") + "</title>";
    const std::string* parts[] = {&phone, &script, &address, &manager};
    for (const std::string* part : parts) {
        size_t end = page.size() + bytes / 5;
        while (page.size() < end) page += *part;
    }
    page += contact;
    while (page.size() < bytes) page += "1998- 8 ";
    return page;
}

void BM_ExtractHomepage(benchmark::State& state) {
    const auto& pages = largeHomepages();
    double bytes = 0;
    for (const auto& p : pages) bytes += static_cast<double>(p.size());
    for (auto _ : state) {
        for (const auto& p : pages) {
            RecordSlot slot;
            extractHomepage(text::lowerAscii(p), "", slot);
            benchmark::DoNotOptimize(slot);
        }
    }
    state.counters["parse_mb_s.1.detail"] =
        benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ExtractHomepage)->UseRealTime();

void BM_ExtractWorstHomepage(benchmark::State& state) {
    const std::string page = text::lowerAscii(worstPage(1 << 20));
    double slowest = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        RecordSlot slot;
        extractHomepage(page, "", slot);
        benchmark::DoNotOptimize(slot);
        std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        slowest = std::max(slowest, took.count());
    }
    state.counters["parse_worst_ms.1.detail"] = slowest;
    state.counters["page_kb"] = static_cast<double>(page.size()) / 1024.0;
}
BENCHMARK(BM_ExtractWorstHomepage)->UseRealTime()->Iterations(5);

}  // namespace
}  // namespace velmora::bench
