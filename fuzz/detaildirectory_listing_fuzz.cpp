// Result pages of the company directory with detail pages (source 4) through
// the page check and the listing parser, as a listing step runs them.
//
// Input: 4 bytes known pages, 4 bytes index I of the work key, 4 bytes a
// stale detail count (little-endian), then the page as fetched.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/reference_scan.h"
#include "fuzz/site_page_steps.h"
#include "platform/gbk.h"
#include "sources/detaildirectory/detail_directory_source.h"

namespace velmora {
namespace {

using fuzz::ref::Pos;

// Longer pages skip the literal comparison: it copies the page per round.
constexpr size_t kReferenceLimit = 16384;

// The comments taken out as the site rule states it: the first "<!-" at p,
// "->" scanned for from p + 3 (clamp p + 3), p through its "-" deleted,
// then again from the start of what is left.
std::string referenceWithoutComments(std::string copy) {
    for (;;) {
        Pos p = fuzz::ref::find(copy, "<!-");
        if (p == 0) return copy;
        Pos e = fuzz::ref::scanForward(copy, "->", p + 3, p + 3);
        copy = fuzz::ref::cut(copy, 1, p) + fuzz::ref::tail(copy, e + 1);
    }
}

// Detail links, as the site rule states them, on a page that shrinks from the front.
std::vector<std::string> referenceLinks(std::string page) {
    static const std::string kDetails = gbk::fromUtf8(">详细资料<");
    std::vector<std::string> links;
    for (;;) {
        Pos p = fuzz::ref::find(page, kDetails);
        if (p == 0) return links;
        Pos start = fuzz::ref::scanBack(page, "<a href=", p, p) + 8;
        Pos c = fuzz::ref::scanForward(page, "class=", start, fuzz::ref::len(page));
        links.push_back(fuzz::ref::cut(page, start, c - 1));
        page = fuzz::ref::tail(page, c + 40);
    }
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    const fuzz::ListingInput input = fuzz::readListingInput(data, size);
    static const DetailDirectorySource source("http://dir.example/qiye/search.php");
    const std::optional<WorkForm> form = fuzz::runListingStep(source, 4, input);
    if (!form) return 0;
    const std::string& lowered = input.page.lowered;

    FUZZ_CHECK(form->knownPages == input.known + 1 || form->knownPages == 0);
    FUZZ_CHECK(form->listing.row(1) == WorkRow{});
    if (lowered.size() <= kReferenceLimit) {
        fuzz::ExactBytes exact(lowered);
        std::string stripped = referenceWithoutComments(lowered);
        FUZZ_CHECK(detaildirectory::withoutComments(exact.view()) == stripped);
        bool more = stripped.find(fuzz::pageNumberProbe(input.known)) != std::string::npos;
        FUZZ_CHECK(form->knownPages == (more ? input.known + 1 : 0));
        fuzz::checkDetailUrls(*form, referenceLinks(lowered));
    }
    fuzz::checkDetailRows(*form, 4, input.index);
    return 0;
}
