// Result pages of the regional directory (source 7) through the page check
// and the listing parser, as a listing step runs them.
//
// Input: 4 bytes known pages, 4 bytes index I of the work key, 4 bytes a
// stale detail count (little-endian), then the page as fetched.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/reference_scan.h"
#include "platform/gbk.h"
#include "sources/framework/paging.h"
#include "sources/framework/text_scan.h"
#include "sources/framework/worker_step.h"
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
    fuzz::Input in(data, size);
    const std::int32_t known = fuzz::knownPagesFrom(in.u32());
    const std::int32_t index = in.i32();
    const std::int32_t staleCount = in.i32();
    const std::string_view fetched = in.rest();

    static const RegionalSource source(kAddress);
    const WorkKey key = fuzz::roundTripKey(7, index, 0);

    WorkForm form;
    form.knownPages = known;
    form.detailCount = staleCount;
    const WorkForm before = form;
    std::string page = fuzz::tightString(fetched);
    bool parsed = parseFetchedPage(source, form, key, page, discardingIntake());

    const std::string lowered = fuzz::ref::lowerAscii(fetched);
    FUZZ_CHECK(page == lowered);
    static const std::string kNotFound[] = {gbk::fromUtf8("无法找到"), gbk::fromUtf8("未找到"),
                                            gbk::fromUtf8("找不到")};
    bool notFound = false;
    for (const auto& t : kNotFound) notFound = notFound || lowered.find(t) != std::string::npos;
    FUZZ_CHECK(parsed == !notFound);
    if (!parsed) {
        FUZZ_CHECK(fuzz::sameForm(form, before));
        return 0;
    }

    // The same parser on an exact-size copy: a read past the page's end
    // becomes visible, and the result must not depend on the slack.
    fuzz::ExactBytes exact(lowered);
    WorkForm again;
    again.knownPages = known;
    again.detailCount = staleCount;
    source.parseListing(exact.view(), again, key, discardingIntake());
    FUZZ_CHECK(fuzz::sameForm(form, again));

    static const std::string kNext = gbk::fromUtf8(">下一页<");
    FUZZ_CHECK(form.knownPages == (lowered.find(kNext) != std::string::npos ? known + 1 : 0));

    std::vector<std::string> links = referenceLinks(lowered);
    FUZZ_CHECK(form.detailCount == static_cast<std::int32_t>(links.size()));
    for (size_t n = 1; n <= links.size(); ++n) {
        const WorkRow& row = form.detail.row(static_cast<int>(n));
        FUZZ_CHECK(row.mark == "N");
        FUZZ_CHECK(row.url == kAddress + "/main/corp/" + links[n - 1]);
        FUZZ_CHECK(row.key == WorkKey::make(7, index, static_cast<std::int32_t>(n)));
    }
    FUZZ_CHECK(form.detail.row(static_cast<int>(links.size()) + 1) == WorkRow{});
    FUZZ_CHECK(form.listing.row(1) == WorkRow{});
    return 0;
}
