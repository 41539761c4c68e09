// Result pages of the web search (source 1) through the page check and the
// listing step (pager, then hits), twice on the same form as a run would see
// one page linked again, against the steps written the literal way: copies
// of the strip and of a page that loses its front and its last byte per hit.
//
// Input: 1 byte known pages (0..15, rows 2..known pages prefilled), 4 bytes
// index I of the work key (little-endian), then the page as fetched.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "fuzz/page_step.h"
#include "fuzz/reference_scan.h"
#include "platform/gbk.h"
#include "sources/websearch/web_search_source.h"

namespace velmora {
namespace {

const std::string kSearch = "http://s.example";

std::string linkText(std::int64_t n) {
    return ">[" + std::to_string(n) + "]<";
}

void referencePager(std::string_view page, WorkForm& form, const WorkKey& key) {
    static const std::string kNext = gbk::fromUtf8(">下一页");
    fuzz::ref::Pos q = fuzz::ref::find(page, kNext);
    if (q == 0) return;
    std::int64_t n = key.index == 0 ? 1 : key.index;
    fuzz::ref::Pos a = fuzz::ref::scanBack(page, linkText(n + 1), q, 0);
    a = fuzz::ref::scanBack(page, "href=", a, 0);
    if (a == 0) return;
    std::string strip = fuzz::ref::cut(page, a, q);
    while (fuzz::ref::find(strip, linkText(n + 1)) != 0) {
        ++n;
        fuzz::ref::Pos m = fuzz::ref::find(strip, linkText(n));
        fuzz::ref::Pos h = fuzz::ref::find(strip, "href=");
        std::string link = kSearch + "/" + fuzz::ref::cut(strip, h + 5, m);
        bool present = false;
        for (int r = 2; r <= form.knownPages; ++r)
            present = present || form.listing.row(r).url == link;
        if (!present) {
            ++form.knownPages;
            form.listing.write(form.knownPages, "N", link,
                               "1[" + std::to_string(n) + "]" + std::to_string(key.detail) + "{" +
                                   std::to_string(key.extra) + "}");
        }
        strip = fuzz::ref::tail(strip,
                                m + 4 + static_cast<fuzz::ref::Pos>(std::to_string(n + 1).size()));
    }
}

void referenceHits(std::string_view lowered, WorkForm& form, const WorkKey& key) {
    form.detailCount = 0;
    std::string page(lowered);
    int k = 0;
    while (fuzz::ref::find(page, "<p class=") != 0) {
        fuzz::ref::Pos p = fuzz::ref::find(page, "<p class=");
        fuzz::ref::Pos h = fuzz::ref::scanForward(page, "href=", p, fuzz::ref::len(page));
        page = fuzz::ref::tail(page, h);
        if (!page.empty()) page.pop_back();
        fuzz::ref::Pos t = fuzz::ref::find(page, "\" target=_blank");
        std::string url = fuzz::ref::cut(page, 7, t);
        ++k;
        bool present = false;
        for (int r = 1; r <= k; ++r) present = present || form.detail.row(r).url == url;
        if (!present) {
            ++form.detailCount;
            form.detail.write(form.detailCount, "N", url,
                              WorkKey::make(1, key.index, form.detailCount));
        }
        page = fuzz::ref::tail(page, t);
    }
}

void prefill(WorkForm& form, int known) {
    form.knownPages = known;
    for (int r = 2; r <= known; ++r)
        form.listing.write(r, "Y", kSearch + "/baidu?pn=" + std::to_string(r * 10),
                           WorkKey::make(1, r, 0));
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    fuzz::Input in(data, size);
    const int known = in.byte() % 16;
    const std::int32_t index = in.i32();
    const fuzz::FetchedPage fetched(in.rest());
    const std::string& lowered = fetched.lowered;

    static const WebSearchSource source(kSearch);
    const WorkKey key = fuzz::roundTripKey(1, index, 0);

    WorkForm form;
    prefill(form, known);
    if (!fuzz::runPageStep(source, form, key, fetched)) return 0;
    // The same page again (a result page that its successor links back to),
    // on an exact-size copy so that a read past the end shows.
    fuzz::ExactBytes exact(lowered);
    source.parseListing(exact.view(), form, key, discardingIntake());

    WorkForm expected;
    prefill(expected, known);
    for (int pass = 0; pass < 2; ++pass) {
        referencePager(lowered, expected, key);
        referenceHits(lowered, expected, key);
    }
    FUZZ_CHECK(fuzz::sameForm(form, expected));
    return 0;
}
