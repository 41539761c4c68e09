// The e-mail lookup's page handling: the result links of a web-search page
// and the address candidate around the first "@" of a hit page, with its
// acceptance rules.
//
// Input: 1 byte the number of hits wanted, then the page. The same bytes
// serve as search result page and as hit page.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/reference_scan.h"
#include "sources/framework/email_lookup.h"

namespace velmora {
namespace {

using fuzz::ref::Pos;
namespace ref = fuzz::ref;

bool addressByte(char c) {
    return std::string_view("abcdefghijklmnopqrstuvwxyz0123456789._-").find(c) !=
           std::string_view::npos;
}

// The run of address bytes around the first "@", 1-based as the rule reads:
// back while the byte before is allowed (to the page start), forward while
// the byte after is allowed, stopping before the page's last byte.
std::string referenceCandidate(std::string_view page) {
    Pos a = ref::find(page, "@");
    if (a == 0) return {};
    Pos from = a;
    while (from > 1 && addressByte(page[static_cast<size_t>(from - 2)])) --from;
    Pos to = a;
    while (to + 1 < ref::len(page) && addressByte(page[static_cast<size_t>(to)])) ++to;
    std::string c = ref::cut(page, from, to + 1);
    while (!c.empty() && c.front() == '-') c.erase(0, 1);
    while (!c.empty() && c.back() == '-') c.pop_back();
    while (!c.empty() && c.front() == '_') c.erase(0, 1);
    while (!c.empty() && c.back() == '_') c.pop_back();
    return c;
}

bool referenceAcceptable(std::string_view c) {
    Pos n = ref::len(c);
    Pos at = ref::find(c, "@");
    Pos dot = ref::find(c, ".");
    return at > 1 && at < 30 && n - at < 40 && at < n - 4 && dot > 1 && dot < n &&
           c.find("@.") == std::string_view::npos && c.find("htm") == std::string_view::npos;
}

// While the page holds "<p class=": from its first position scan forward for
// "href="; keep the page from there without its last byte; the hit runs from
// position 7 of that to the byte before '" target='; keep the page from
// there on.
std::vector<std::string> referenceHits(std::string_view lowerPage, size_t maxHits) {
    std::vector<std::string> hits;
    std::string page(lowerPage);
    while (hits.size() < maxHits && page.find("<p class=") != std::string::npos) {
        Pos p = ref::find(page, "<p class=");
        Pos h = ref::scanForward(page, "href=", p, ref::len(page));
        std::string kept = ref::cut(page, h, ref::len(page));
        Pos q = ref::find(kept, "\" target=");
        hits.push_back(ref::cut(kept, 7, q));
        page = ref::tail(kept, q);
    }
    return hits;
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    fuzz::Input in(data, size);
    const size_t maxHits = in.byte() % 16;
    const std::string_view bytes = in.rest();

    // The hit page is not lower-cased.
    fuzz::ExactBytes hitPage(bytes);
    std::string candidate = emailCandidate(hitPage.view());
    FUZZ_CHECK(candidate == referenceCandidate(bytes));
    if (!candidate.empty()) FUZZ_CHECK(bytes.find(candidate) != std::string_view::npos);
    FUZZ_CHECK(isAcceptableEmail(candidate) == referenceAcceptable(candidate));
    fuzz::ExactBytes raw(bytes);
    FUZZ_CHECK(isAcceptableEmail(raw.view()) == referenceAcceptable(bytes));

    // The result page is.
    const std::string lowered = fuzz::ref::lowerAscii(bytes);
    fuzz::ExactBytes resultPage(lowered);
    std::vector<std::string> hits = extractSearchHits(resultPage.view(), maxHits);
    FUZZ_CHECK(hits == referenceHits(lowered, maxHits));
    std::vector<std::string> first10 = extractSearchHits(resultPage.view());
    FUZZ_CHECK(first10.size() <= 10);
    return 0;
}
