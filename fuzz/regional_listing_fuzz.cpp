// Result pages of the regional directory (source 7) through the page check
// and the listing parser, as a listing step runs them.
//
// Input: 4 bytes known pages, 4 bytes index I of the work key, 4 bytes a
// stale detail count (little-endian), then the page as fetched.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/reference_scan.h"
#include "fuzz/site_page_steps.h"
#include "sources/regional/regional_source.h"

namespace velmora {
namespace {

const std::string kAddress = "http://dir.example";

// Detail links of a lowered result page, as the site rule states them: on a
// remaining page that shrinks from the front, positions relative to it.
std::vector<std::string> referenceLinks(std::string_view page) {
    static constexpr std::string_view kAnchor = "<a href=\"detail.asp?corpid=";
    // Where the last closing '">' of the whole page starts: a scan from
    // behind it runs to the page end without looking (keeps this linear).
    size_t lastCloser = page.rfind("\">");
    std::vector<std::string> links;
    std::string_view rest = page;
    size_t offset = 0;  // of rest in page
    for (;;) {
        fuzz::ref::Pos p = fuzz::ref::find(rest, kAnchor);
        if (p == 0) break;
        fuzz::ref::Pos start = p + 9;
        fuzz::ref::Pos end;
        if (lastCloser == std::string_view::npos ||
            offset + static_cast<size_t>(start) > lastCloser)
            end = fuzz::ref::len(rest);
        else
            end = fuzz::ref::scanForward(rest, "\">", start, fuzz::ref::len(rest));
        links.push_back(fuzz::ref::cut(rest, start, end));
        rest = rest.substr(static_cast<size_t>(start - 1));
        offset += static_cast<size_t>(start - 1);
    }
    return links;
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    const fuzz::ListingInput input = fuzz::readListingInput(data, size);
    static const RegionalSource source(kAddress);
    const std::optional<WorkForm> form = fuzz::runListingStep(source, 7, input);
    if (!form) return 0;
    const std::string& lowered = input.page.lowered;

    FUZZ_CHECK(form->knownPages == (fuzz::referenceNextPageLink(lowered) ? input.known + 1 : 0));
    std::vector<std::string> urls;
    for (const std::string& link : referenceLinks(lowered))
        urls.push_back(kAddress + "/main/corp/" + link);
    fuzz::checkDetailUrls(*form, urls);
    fuzz::checkDetailRows(*form, 7, input.index);
    FUZZ_CHECK(form->listing.row(1) == WorkRow{});
    return 0;
}
