// Converting a 100 KB UTF-8 page of the demo sites to GBK before its page
// check, against the GBK page that passes untouched.
#include <benchmark/benchmark.h>

#include "demo/demo_sites.h"
#include "platform/http_client.h"
#include "sources/framework/page_charset.h"

namespace velmora::bench {
namespace {

// A detail page of the regional directory, as its UTF-8 and its GBK site serve it.
HttpPage detailPage(bool utf8) {
    demo::DemoOptions options;
    options.pageBytes = 100 * 1024;
    if (utf8) options.utf8Sites = {7};
    demo::DemoSites sites(options);
    auto http = makeCurlHttpClient(HttpOptions{});
    std::string listing =
        http->get(sites.address() + "/main/corp/queryr.asp?&area2=000000&corpname=%CA%D6&page=1");
    size_t at = listing.find("detail.asp?corpid=");
    size_t end = listing.find('"', at);
    return http->getPage(sites.address() + "/main/corp/" + listing.substr(at, end - at));
}

void BM_ConvertUtf8Page(benchmark::State& state) {
    static const HttpPage utf8 = detailPage(true);
    static const HttpPage gbk = detailPage(false);
    const HttpPage& page = state.range(0) == 1 ? utf8 : gbk;
    for (auto _ : state) {
        std::string copy = page.body;
        benchmark::DoNotOptimize(text::convertPageToGbk(copy, page.contentType));
        benchmark::DoNotOptimize(copy.data());
    }
    const char* name = state.range(0) == 1 ? "transcode_utf8_mb_s" : "transcode_gbk_mb_s";
    state.counters[name] =
        benchmark::Counter(static_cast<double>(page.body.size()) / 1e6,
                           benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ConvertUtf8Page)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velmora::bench
