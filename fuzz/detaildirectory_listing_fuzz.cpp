// Result pages of the company directory with detail pages (source 4) through
// the page check and the listing parser, as a listing step runs them.
//
// Input: 4 bytes known pages, 4 bytes index I of the work key, 4 bytes a
// stale detail count (little-endian), then the page as fetched.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/reference_scan.h"
#include "platform/gbk.h"
#include "sources/detaildirectory/detail_directory_source.h"
#include "sources/framework/paging.h"
#include "sources/framework/worker_step.h"

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
    fuzz::Input in(data, size);
    const std::int32_t known = fuzz::knownPagesFrom(in.u32());
    const std::int32_t index = in.i32();
    const std::int32_t staleCount = in.i32();
    const std::string_view fetched = in.rest();

    static const DetailDirectorySource source("http://dir.example/qiye/search.php");
    const WorkKey key = fuzz::roundTripKey(4, index, 0);

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
    FUZZ_CHECK(form.knownPages == known + 1 || form.knownPages == 0);
    FUZZ_CHECK(form.listing.row(1) == WorkRow{});
    for (int n = 1; n <= form.detailCount; ++n)
        FUZZ_CHECK(form.detail.row(n).key == WorkKey::make(4, index, n));
    if (lowered.size() > kReferenceLimit) return 0;

    std::string stripped = referenceWithoutComments(lowered);
    FUZZ_CHECK(detaildirectory::withoutComments(exact.view()) == stripped);
    std::string probe = ">" + std::to_string(static_cast<long long>(known) + 1) + "<";
    FUZZ_CHECK(form.knownPages == (stripped.find(probe) != std::string::npos ? known + 1 : 0));

    std::vector<std::string> links = referenceLinks(lowered);
    FUZZ_CHECK(form.detailCount == static_cast<std::int32_t>(links.size()));
    for (size_t n = 1; n <= links.size(); ++n) {
        const WorkRow& row = form.detail.row(static_cast<int>(n));
        FUZZ_CHECK(row.mark == "N");
        FUZZ_CHECK(row.url == links[n - 1]);
    }
    FUZZ_CHECK(form.detail.row(static_cast<int>(links.size()) + 1) == WorkRow{});
    return 0;
}
