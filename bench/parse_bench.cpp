// Page check plus parser on realistic 100 KB pages of the demo sites, against
// one memmem pass over the same pages (the floor every parser is measured by).
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>

#include "bench/parse_figures.h"
#include "demo/demo_sites.h"
#include "platform/gbk.h"
#include "platform/http_client.h"
#include "sources/framework/worker_step.h"
#include "sources/registry.h"

namespace velmora::bench {
namespace {

struct Pages {
    std::map<std::string, std::string> page;  // "7.listing", "7.detail", "2.listing", ...
    SiteConfig sites;
};

std::string linkOf(const std::string& url) {
    return url;
}

// Fetches one listing and one detail page of each source from the demo sites.
const Pages& pages() {
    static const Pages p = [] {
        demo::DemoOptions options;
        options.pageBytes = 100 * 1024;
        demo::DemoSites sites(options);
        Pages out;
        out.sites = sites.siteConfig();
        auto http = makeCurlHttpClient(HttpOptions{});
        SourceSet set = makeSources(out.sites);
        std::string keyword = gbk::fromUtf8("手机");
        for (int s : {7, 2, 3, 4}) {
            WorkForm form;
            form.keyword = keyword;
            form.province = s == 3 || s == 4 ? "" : "000000";
            form.nextPage = 1;
            form.knownPages = 1;
            std::string url = s == 7   ? out.sites.regional + "/main/corp/queryr.asp"
                              : s == 3 ? out.sites.scriptDirectory
                              : s == 4 ? out.sites.detailDirectory
                                       : out.sites.alibaba + "/company/k-%CA%D6%BB%FA_n-y.html";
            auto request =
                set[s]->listingRequest(url, WorkKey::parse(std::to_string(s) + "[0]0{0}"), form);
            std::string listing = request.method == ListingRequest::Method::Post
                                      ? http->post(request.url, request.fields)
                                      : http->get(request.url);
            out.page[std::to_string(s) + ".listing"] = listing;
            WorkForm parsed;
            std::string copy = listing;
            parseFetchedPage(*set[s], parsed, WorkKey::parse(std::to_string(s) + "[0]0{0}"), copy,
                             discardingIntake());
            out.page[std::to_string(s) + ".detail"] = http->get(linkOf(parsed.detail.row(1).url));
        }
        // The web search's first result page for the keyword.
        out.page["1.listing"] = http->get(out.sites.websearch + "/baidu?word=%CA%D6%BB%FA");
        return out;
    }();
    return p;
}

void parsePage(benchmark::State& state, int source, const char* step) {
    const Pages& p = pages();
    std::string name = std::to_string(source) + "." + step;
    std::string page = p.page.at(name);
    SourceSet set = makeSources(p.sites);
    WorkKey key = WorkKey::parse(std::to_string(source) +
                                 (std::strcmp(step, "listing") == 0 ? "[0]0{0}" : "[0]1{0}"));
    for (auto _ : state) {
        // Lower-casing is idempotent, so re-checking the same buffer does the
        // same work as a fresh page would.
        WorkForm form;
        form.knownPages = 1;
        form.nextPage = 1;
        parseFetchedPage(*set[source], form, key, page, discardingIntake());
        benchmark::DoNotOptimize(form.detailCount);
    }
    reportParseRate(state, "parse_mb_s." + name, page.size());
}

// One benchmark per fetched page, in this order.
struct PageBenchmark {
    const char* name;
    int source;
    const char* step;
};
constexpr PageBenchmark kPageBenchmarks[] = {
    {"BM_ParseRegionalListing", 7, "listing"},
    {"BM_ParseRegionalDetail", 7, "detail"},
    {"BM_ParseAlibabaListing", 2, "listing"},
    {"BM_ParseAlibabaDetail", 2, "detail"},
    {"BM_ParseScriptDirectoryListing", 3, "listing"},
    {"BM_ParseScriptDirectoryDetail", 3, "detail"},
    {"BM_ParseWebSearchListing", 1, "listing"},
    {"BM_ParseDetailDirectoryListing", 4, "listing"},
    {"BM_ParseDetailDirectoryDetail", 4, "detail"},
};
[[maybe_unused]] const bool kPageBenchmarksRegistered = [] {
    for (const PageBenchmark& b : kPageBenchmarks)
        benchmark::RegisterBenchmark(b.name, parsePage, b.source, b.step)->UseRealTime();
    return true;
}();

// A 1 MB company page of the directory with detail pages built against its
// cleaning loops: values of nested "&nbsp;", blanks, lone "<" without any
// ">", colons and line breaks, behind every label, and an introduction of the
// same, so a loop that deletes and searches again from the start would take
// quadratic time.
std::string worstDetailDirectoryPage(std::size_t bytes) {
    std::string unit;
    for (int i = 0; i < 64; ++i) unit += "&nb";
    for (int i = 0; i < 64; ++i) unit += "sp;";
    unit += std::string(64, ' ') + std::string(64, '<') + ":" + gbk::fromUtf8("：") + "\n";
    for (int i = 0; i < 32; ++i) unit += gbk::fromUtf8("业");
    const char* labels[] = {"联系人", "电话", "传真", "法人代表", "省市区:", "地址", "邮政编码"};
    std::size_t share = bytes / 8;
    std::string page = "<html><body>";
    for (std::size_t i = 0; i < std::size(labels); ++i) {
        page += gbk::fromUtf8(labels[i]);
        while (page.size() < share * (i + 1)) page += unit;
        page += "</tr>";
    }
    page += gbk::fromUtf8("公司网址") + "href=" + std::string(300, 'a');
    page += gbk::fromUtf8("<!---公司介绍开始--->");
    while (page.size() < bytes) page += unit;
    page += "</tr></body></html>";
    return page;
}

void BM_ParseWorstDetailDirectoryDetail(benchmark::State& state) {
    const std::string page = worstDetailDirectoryPage(1u << 20);
    SourceSet set = makeSources(pages().sites);
    WorkKey key = WorkKey::parse("4[0]1{0}");
    for (auto _ : state) {
        WorkForm form;
        std::string copy = page;
        parseFetchedPage(*set[4], form, key, copy, discardingIntake());
        benchmark::DoNotOptimize(form.slot[Field::Profile]);
    }
    reportParseMillis(state, "parse_worst_ms.4.detail", page.size());
}
BENCHMARK(BM_ParseWorstDetailDirectoryDetail)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_ScanLimit(benchmark::State& state) {
    const Pages& p = pages();
    std::string marker = gbk::fromUtf8(">下一页<") + "\x01";  // never found: a full pass
    double bytes = 0;
    for (const auto& [name, page] : p.page) bytes += static_cast<double>(page.size());
    for (auto _ : state) {
        for (const auto& [name, page] : p.page) {
            const void* hit = memmem(page.data(), page.size(), marker.data(), marker.size());
            benchmark::DoNotOptimize(hit);
        }
    }
    state.counters["scan_limit_mb_s"] =
        benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ScanLimit)->UseRealTime();

}  // namespace
}  // namespace velmora::bench
