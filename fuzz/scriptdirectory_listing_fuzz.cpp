// Result pages of the directory with script-embedded records (source 3)
// through the page check and the listing parser, as a listing step runs them.
//
// Input: 4 bytes known pages, 4 bytes index I of the work key, 4 bytes a
// stale detail count (little-endian), then the page as fetched.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/reference_scan.h"
#include "fuzz/site_page_steps.h"
#include "platform/gbk.h"
#include "sources/scriptdirectory/script_directory_source.h"

namespace velmora {
namespace {

using fuzz::ref::Pos;

// The literal comparison rescans the remaining page per entry.
constexpr size_t kReferenceLimit = 8192;

std::string replaceAll(std::string s, const std::string& from, const std::string& to) {
    for (Pos at = fuzz::ref::find(s, from); at != 0; at = fuzz::ref::find(s, from, at + 1)) {
        s.replace(static_cast<size_t>(at - 1), from.size(), to);
        at += fuzz::ref::len(to) - 1;
    }
    return s;
}

// The detail links as the site rule states them: the page is kept from four
// bytes behind each bracket, positions relative to what is kept.
std::vector<std::string> referenceLinks(std::string_view page) {
    static const std::string kBracket = gbk::fromUtf8("【");
    // Where the last "target=" of the whole page starts: a scan from behind
    // it runs to the page end without looking (keeps this linear per round).
    size_t lastTarget = page.rfind("target=");
    std::vector<std::string> links;
    std::string_view rest = page;
    size_t offset = 0;  // of rest in page
    for (;;) {
        Pos p = fuzz::ref::find(rest, kBracket);
        if (p == 0) break;
        Pos s = fuzz::ref::scanBack(rest, "<a", p, 0);
        Pos t;
        if (lastTarget == std::string_view::npos ||
            offset + static_cast<size_t>(s + 2) >= lastTarget + 1)
            t = fuzz::ref::len(rest);
        else
            t = fuzz::ref::scanForward(rest, "target=", s + 2, fuzz::ref::len(rest));
        std::string link = fuzz::ref::cut(rest, s + 8, t - 1);
        if (Pos u = fuzz::ref::find(link, "url="); u != 0) {
            link = fuzz::ref::tail(link, u + 4);
            if (Pos amp = fuzz::ref::find(link, "&"); amp != 0) link = fuzz::ref::cut(link, 1, amp);
            link = replaceAll(replaceAll(link, "%3a", ":"), "%2f", "/");
        }
        links.push_back(link);
        size_t drop = std::min(rest.size(), static_cast<size_t>(p + 3));  // keep from p + 4
        rest.remove_prefix(drop);
        offset += drop;
    }
    return links;
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    const fuzz::ListingInput input = fuzz::readListingInput(data, size);
    static const ScriptDirectorySource source("http://dir.example/search/company.asp");
    const std::optional<WorkForm> form = fuzz::runListingStep(source, 3, input);
    if (!form) return 0;
    const std::string& lowered = input.page.lowered;

    FUZZ_CHECK(form->knownPages == (fuzz::referenceNextPageLink(lowered) ? input.known + 1 : 0));
    if (lowered.size() <= kReferenceLimit) fuzz::checkDetailUrls(*form, referenceLinks(lowered));
    fuzz::checkDetailRows(*form, 3, input.index);
    FUZZ_CHECK(form->listing.row(1) == WorkRow{});
    return 0;
}
