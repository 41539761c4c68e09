#pragma once
// The listing and detail steps of the sites that fill a record slot (the
// regional directory, the Alibaba search and the two company directories), as
// their targets run them: the input header, the step, the parser again on an
// exact-size copy, and the checks that hold on every one of these sites.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/page_step.h"
#include "sources/framework/source.h"

namespace velmora::fuzz {

// 4 bytes known pages, 4 bytes index I of the work key, 4 bytes a stale
// detail count (little-endian), then the page as fetched.
struct ListingInput {
    std::int32_t known;
    std::int32_t index;
    std::int32_t staleCount;
    FetchedPage page;
};

inline ListingInput readListingInput(const std::uint8_t* data, size_t size) {
    Input in(data, size);
    const std::int32_t known = knownPagesFrom(in.u32());
    const std::int32_t index = in.i32();
    const std::int32_t staleCount = in.i32();
    return {known, index, staleCount, FetchedPage(in.rest())};
}

// The listing step on the page with key N[I]0{0}; when the page was parsed,
// the parser runs again on an exact-size copy, so that a read past the page's
// end becomes visible, and the result must not depend on the slack. The form
// after the step, or nothing when the page was turned away.
inline std::optional<WorkForm> runListingStep(const Source& source, std::int32_t number,
                                              const ListingInput& input) {
    const WorkKey key = roundTripKey(number, input.index, 0);
    auto start = [&] {
        WorkForm form;
        form.knownPages = input.known;
        form.detailCount = input.staleCount;
        return form;
    };
    WorkForm form = start();
    if (!runPageStep(source, form, key, input.page)) return std::nullopt;

    ExactBytes exact(input.page.lowered);
    WorkForm again = start();
    source.parseListing(exact.view(), again, key, discardingIntake());
    FUZZ_CHECK(sameForm(form, again));
    return form;
}

// The detail rows have these urls, in this order, and no more rows are
// counted. Check this before checkDetailRows, which walks the counted rows.
inline void checkDetailUrls(const WorkForm& form, const std::vector<std::string>& urls) {
    FUZZ_CHECK(form.detailCount == static_cast<std::int32_t>(urls.size()));
    for (size_t n = 1; n <= urls.size(); ++n)
        FUZZ_CHECK(form.detail.row(static_cast<int>(n)).url == urls[n - 1]);
}

// Every counted detail row is new ("N") and keyed N[I]n; the row behind them
// is empty.
inline void checkDetailRows(const WorkForm& form, std::int32_t number, std::int32_t index) {
    FUZZ_CHECK(form.detailCount >= 0);
    for (int n = 1; n <= form.detailCount; ++n) {
        const WorkRow& row = form.detail.row(n);
        FUZZ_CHECK(row.mark == "N");
        FUZZ_CHECK(row.key == WorkKey::make(number, index, n));
    }
    FUZZ_CHECK(form.detail.row(form.detailCount + 1) == WorkRow{});
}

// 4 bytes index I and 4 bytes detail row D of the work key (little-endian;
// D = 0 reads as 1), then the page as fetched.
struct DetailInput {
    std::int32_t index;
    std::int32_t row;
    FetchedPage page;
};

inline DetailInput readDetailInput(const std::uint8_t* data, size_t size) {
    Input in(data, size);
    const std::int32_t index = in.i32();
    std::int32_t row = in.i32();
    if (row == 0) row = 1;
    return {index, row, FetchedPage(in.rest())};
}

// The detail step on the page with key N[I]D{0}, then the parser again on an
// exact-size copy; a detail step leaves the work tables and counters alone.
// The form after the step, or nothing when the page was turned away.
inline std::optional<WorkForm> runDetailStep(const Source& source, std::int32_t number,
                                             const DetailInput& input) {
    const WorkKey key = roundTripKey(number, input.index, input.row);
    WorkForm form;
    if (!runPageStep(source, form, key, input.page)) return std::nullopt;

    ExactBytes exact(input.page.lowered);
    WorkForm again;
    source.parseDetail(exact.view(), again);
    FUZZ_CHECK(sameForm(form, again));
    FUZZ_CHECK(form.detailCount == 0 && form.knownPages == 0 && form.listing.row(1) == WorkRow{});
    return form;
}

}  // namespace velmora::fuzz
