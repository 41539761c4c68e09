// Page check plus parser for the two sources that take their companies in
// during the listing step (portal search, yellow pages): realistic 100 KB
// pages of the demo sites, and 1 MB pages built to be worst-case for the
// parsers' loops.
#include <benchmark/benchmark.h>

#include <map>

#include "bench/parse_figures.h"
#include "demo/demo_sites.h"
#include "platform/gbk.h"
#include "platform/http_client.h"
#include "sources/framework/worker_step.h"
#include "sources/registry.h"

namespace velmora::bench {
namespace {

struct IntakePages {
    std::map<std::string, std::string> page;  // "5.listing", "6.category", "6.listing"
    SiteConfig sites;
};

const IntakePages& intakePages() {
    static const IntakePages p = [] {
        demo::DemoOptions options;
        options.pageBytes = 100 * 1024;
        demo::DemoSites sites(options);
        IntakePages out;
        out.sites = sites.siteConfig();
        SourceSet set = makeSources(out.sites);
        auto http = makeCurlHttpClient(HttpOptions{});
        WorkForm form;
        form.keyword = gbk::fromUtf8("手机");
        form.province = "000000";
        auto answer =
            set[5]->listingRequest(out.sites.portal + "/search?", WorkKey::parse("5[0]0{0}"), form);
        out.page["5.listing"] = http->post(answer.url, answer.fields);

        form.province.clear();
        auto search =
            set[6]->listingRequest(out.sites.yellowPages, WorkKey::parse("6[0]0{0}"), form);
        std::string categories = http->get(search.url);
        out.page["6.category"] = categories;
        WorkForm parsed(set[6]->listingRows());
        parseFetchedPage(*set[6], parsed, WorkKey::parse("6[0]0{0}"), categories,
                         discardingIntake());
        auto result =
            set[6]->listingRequest(parsed.detail.row(1).url, WorkKey::parse("6[1]0{0}"), parsed);
        out.page["6.listing"] = http->get(result.url);
        return out;
    }();
    return p;
}

void parse(benchmark::State& state, int source, const std::string& key, std::string page,
           const std::string& figure, bool worst) {
    SourceSet set = makeSources(intakePages().sites);
    WorkKey workKey = WorkKey::parse(key);
    for (auto _ : state) {
        // Lower-casing is idempotent, so the same buffer does the work of a
        // fresh page.
        WorkForm form(set[source]->listingRows());
        parseFetchedPage(*set[source], form, workKey, page, discardingIntake());
        benchmark::DoNotOptimize(form.lastPageSpent);
    }
    if (worst)
        reportParseMillis(state, figure, page.size());
    else
        reportParseRate(state, figure, page.size());
}

// Repeats `unit` until the text holds about one megabyte.
std::string megabyteOf(const std::string& unit, std::size_t share = 1u << 20) {
    std::string out;
    while (out.size() + unit.size() <= share) out += unit;
    return out;
}

// Answer page: many tables with empty fields, fields full of lone "<", dots
// without a table and a last table whose fields run to the page end.
std::string worstAnswerPage() {
    const std::string table = "<table cellspacing=0 cellpadding=0 width=168 border=0 align=center>";
    std::string page = megabyteOf(table + "&#183;&#183;&#183;</tr>", 300u << 10);
    page +=
        megabyteOf(table + "&#183;" + std::string(200, '<') + "&#183;a<b&#183;</tr>", 300u << 10);
    page += megabyteOf("&#183;<", 200u << 10);
    page += table + "&#183;" + megabyteOf("<x", 248u << 10);
    return page;
}

// Result page: blocks without phone and address markers (whose cuts fall in
// front of them), blocks whose postcode text runs to the next block, and a
// last name without its "</".
std::string worstResultPage() {
    std::string page = megabyteOf("<i class=\"t\">n</i><b class=\"m_funitname\">", 400u << 10);
    page += megabyteOf(
        "<a class=\"m_funitname\">x</a><i class=\"m_ftelphone\">1</i><i "
        "class=\"m_faddress\">2</i>" +
            gbk::fromUtf8("邮编：") + "1234",
        400u << 10);
    page += "<a class=\"m_funitname\">" + megabyteOf("m_ftelphone\">", 220u << 10);
    return page;
}

void BM_ParsePortalListing(benchmark::State& s) {
    parse(s, 5, "5[0]0{0}", intakePages().page.at("5.listing"), "parse_mb_s.5.listing", false);
}
void BM_ParseYellowPagesCategory(benchmark::State& s) {
    parse(s, 6, "6[0]0{0}", intakePages().page.at("6.category"), "parse_mb_s.6.category", false);
}
void BM_ParseYellowPagesListing(benchmark::State& s) {
    parse(s, 6, "6[1]0{0}", intakePages().page.at("6.listing"), "parse_mb_s.6.listing", false);
}
void BM_WorstPortalListing(benchmark::State& s) {
    parse(s, 5, "5[0]0{0}", worstAnswerPage(), "parse_worst_ms.5.listing", true);
}
void BM_WorstYellowPagesListing(benchmark::State& s) {
    parse(s, 6, "6[1]0{0}", worstResultPage(), "parse_worst_ms.6.listing", true);
}
BENCHMARK(BM_ParsePortalListing)->UseRealTime();
BENCHMARK(BM_ParseYellowPagesCategory)->UseRealTime();
BENCHMARK(BM_ParseYellowPagesListing)->UseRealTime();
BENCHMARK(BM_WorstPortalListing)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorstYellowPagesListing)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora::bench
