// Result pages of the Alibaba company search (source 2) through the page
// check and the listing parser, as a listing step runs them.
//
// Input: 4 bytes known pages, 4 bytes index I of the work key, 4 bytes a
// stale detail count (little-endian), then the page as fetched.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/reference_scan.h"
#include "platform/gbk.h"
#include "sources/alibaba/alibaba_source.h"
#include "sources/framework/paging.h"
#include "sources/framework/worker_step.h"

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
    fuzz::Input in(data, size);
    const std::int32_t known = fuzz::knownPagesFrom(in.u32());
    const std::int32_t index = in.i32();
    const std::int32_t staleCount = in.i32();
    const std::string_view fetched = in.rest();

    static const AlibabaSource source;
    const WorkKey key = fuzz::roundTripKey(2, index, 0);

    WorkForm form;
    form.knownPages = known;
    form.detailCount = staleCount;
    const WorkForm before = form;
    std::string page = fuzz::tightString(fetched);
    bool parsed = parseFetchedPage(source, form, key, page, discardingIntake());

    const std::string lowered = fuzz::ref::lowerAscii(fetched);
    FUZZ_CHECK(page == lowered);
    FUZZ_CHECK(parsed == !isNotFoundPage(lowered));
    if (!parsed) {
        FUZZ_CHECK(fuzz::sameForm(form, before));
        return 0;
    }

    fuzz::ExactBytes exact(lowered);
    WorkForm again;
    again.knownPages = known;
    again.detailCount = staleCount;
    source.parseListing(exact.view(), again, key, discardingIntake());
    FUZZ_CHECK(fuzz::sameForm(form, again));

    ReferenceListing ref = referenceListing(lowered);
    FUZZ_CHECK(form.detailCount == static_cast<std::int32_t>(ref.links.size()));
    for (size_t n = 1; n <= ref.links.size(); ++n) {
        const WorkRow& row = form.detail.row(static_cast<int>(n));
        FUZZ_CHECK(row.mark == "N");
        FUZZ_CHECK(row.url == ref.links[n - 1]);
        FUZZ_CHECK(row.key == WorkKey::make(2, index, static_cast<std::int32_t>(n)));
    }
    FUZZ_CHECK(form.detail.row(static_cast<int>(ref.links.size()) + 1) == WorkRow{});
    FUZZ_CHECK(form.listing.row(1) == (WorkRow{"N", ref.next, "2[0]0{0}"}));

    // The number probe ">" + (known + 1) + "<"; a pager without a usable
    // next-page link ends the source after this page.
    std::string probe = ">" + std::to_string(static_cast<long long>(known) + 1) + "<";
    bool more = lowered.find(probe) != std::string::npos && !ref.next.empty();
    FUZZ_CHECK(form.knownPages == (more ? known + 1 : 0));
    return 0;
}
