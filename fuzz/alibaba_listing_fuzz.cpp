// Result pages of the Alibaba company search (source 2) through the page
// check and the listing parser, as a listing step runs them.
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
#include "sources/alibaba/alibaba_source.h"

namespace velmora {
namespace {

using fuzz::ref::Pos;

struct ReferenceListing {
    std::vector<std::string> links;
    std::string next;
};

// The link in front of position q of `rest`: back from q to "http://", then
// forward from there to a double quote (clamp: the end of rest). `offset` is
// where rest starts in `page`, whose last quote bounds the forward scan.
std::string referenceLink(std::string_view rest, Pos q, size_t offset, size_t lastQuote) {
    // Position 0 would read as position 1, which holds the marker's ">"
    // whenever the scan gets there, so "http://" is only found from q - 1 down to 1.
    Pos s = fuzz::ref::scanBack(rest, "http://", q, 0);
    if (s == 0) return {};
    Pos end;
    if (lastQuote == std::string_view::npos || offset + static_cast<size_t>(s) > lastQuote)
        end = fuzz::ref::len(rest);
    else
        end = fuzz::ref::scanForward(rest, "\"", s, fuzz::ref::len(rest));
    return fuzz::ref::cut(rest, s, end);
}

ReferenceListing referenceListing(std::string_view page) {
    static const std::string kContact = gbk::fromUtf8(">联系方式<");
    static const std::string kNext = gbk::fromUtf8(">下一页<");
    const size_t lastQuote = page.rfind('"');
    ReferenceListing out;
    std::string_view rest = page;
    size_t offset = 0;
    for (;;) {
        Pos q = fuzz::ref::find(rest, kContact);
        if (q == 0) break;
        out.links.push_back(referenceLink(rest, q, offset, lastQuote));
        // Keep the page from q + 6 on, inside the marker just used.
        size_t drop = std::min(rest.size(), static_cast<size_t>(q + 5));
        rest.remove_prefix(drop);
        offset += drop;
    }
    if (Pos q = fuzz::ref::find(rest, kNext); q != 0)
        out.next = referenceLink(rest, q, offset, lastQuote);
    return out;
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    const fuzz::ListingInput input = fuzz::readListingInput(data, size);
    static const AlibabaSource source;
    const std::optional<WorkForm> form = fuzz::runListingStep(source, 2, input);
    if (!form) return 0;
    const std::string& lowered = input.page.lowered;

    ReferenceListing ref = referenceListing(lowered);
    fuzz::checkDetailUrls(*form, ref.links);
    fuzz::checkDetailRows(*form, 2, input.index);
    FUZZ_CHECK(form->listing.row(1) == (WorkRow{"N", ref.next, "2[0]0{0}"}));

    // The number probe; a pager without a usable next-page link ends the
    // source after this page.
    bool more =
        lowered.find(fuzz::pageNumberProbe(input.known)) != std::string::npos && !ref.next.empty();
    FUZZ_CHECK(form->knownPages == (more ? input.known + 1 : 0));
    return 0;
}
