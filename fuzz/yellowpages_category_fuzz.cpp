// Category search pages of the yellow pages (source 6) through the page
// check and the category parser, as the source's first step runs them.
//
// Input: 4 bytes a stale category count (little-endian), then the page.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/page_step.h"
#include "fuzz/reference_scan.h"
#include "sources/yellowpages/yellowpages_source.h"

namespace velmora {
namespace {

using fuzz::ref::Pos;

const std::string kBase = "http://yp.example/yp";

// "While the url contains "&amp;", delete the four bytes behind the "&"
// that begins the first one."
std::string referenceCollapse(std::string url) {
    for (;;) {
        Pos at = fuzz::ref::find(url, "&amp;");
        if (at == 0) return url;
        url.erase(static_cast<size_t>(at), 4);
    }
}

std::vector<std::string> referenceUrls(std::string_view page) {
    std::vector<std::string> urls;
    std::string_view rest = page;
    for (;;) {
        Pos p = fuzz::ref::find(rest, "categorycontent.aspx?keyword=");
        if (p == 0) break;
        Pos end = fuzz::ref::len(rest);
        Pos a = fuzz::ref::scanForward(rest, "area=", p, end);
        Pos c = fuzz::ref::scanForward(rest, "categoryname", a, end);
        urls.push_back(
            referenceCollapse(kBase + "/categorycontent.aspx?" + fuzz::ref::cut(rest, a, c)));
        rest = rest.substr(static_cast<size_t>(c - 1));
    }
    return urls;
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    fuzz::Input in(data, size);
    const std::int32_t staleCount = in.i32();
    const fuzz::FetchedPage fetched(in.rest());
    const std::string& lowered = fetched.lowered;

    static const YellowPagesSource source(kBase);
    const WorkKey key = fuzz::roundTripKey(6, 0, 0);
    WorkForm form(source.listingRows());
    form.detailCount = staleCount;
    // No not-found test: every page is parsed.
    FUZZ_CHECK(fuzz::runPageStep(source, form, key, fetched));

    std::vector<std::string> urls = referenceUrls(lowered);
    fuzz::ExactBytes exact(lowered);
    FUZZ_CHECK(parseYellowPagesCategories(exact.view(), kBase) == urls);
    FUZZ_CHECK(form.detailCount == (urls.empty() ? staleCount : static_cast<int>(urls.size())));
    for (size_t k = 1; k <= urls.size(); ++k) {
        const WorkRow& row = form.detail.row(static_cast<int>(k));
        FUZZ_CHECK(row.mark == "N" && row.url == urls[k - 1]);
        FUZZ_CHECK(row.key == WorkKey::make(6, static_cast<std::int32_t>(k), 0));
        FUZZ_CHECK(row.url.find("&amp;") == std::string::npos);
    }
    FUZZ_CHECK(form.detail.row(static_cast<int>(urls.size()) + 1) == WorkRow{});
    return 0;
}
