#include "platform/gbk.h"
#include "sources/detaildirectory/detail_cleaning.h"
#include "sources/detaildirectory/detail_directory_source.h"
#include "sources/framework/paging.h"
#include "sources/framework/text_scan.h"

namespace velmora {

using text::Pos;

namespace detaildirectory {

std::string withoutComments(std::string_view page) {
    static constexpr std::string_view kOpen = "<!-";
    std::string out;
    out.reserve(page.size());
    text::ForwardFinder arrows(page, "->");
    // `out` never holds "<!-": an opening can only complete with a "-" just
    // appended, and is taken out at once, so the first opening of the text
    // in the making is always the one that just appeared, joins included.
    size_t i = 0;
    while (i < page.size()) {
        size_t dash = page.find('-', i);
        if (dash == std::string_view::npos) {
            out.append(page.substr(i));
            break;
        }
        out.append(page.substr(i, dash + 1 - i));
        i = dash + 1;
        if (out.size() < kOpen.size() || std::string_view(out).substr(out.size() - 3) != kOpen)
            continue;
        out.resize(out.size() - kOpen.size());
        // The byte right behind the opening is page position i + 1; the scan
        // for "->" examines the position behind that first.
        Pos close = arrows.next(static_cast<Pos>(i) + 2);
        i = close != 0 ? static_cast<size_t>(close) : i + 1;
    }
    return out;
}

}  // namespace detaildirectory

ListingRequest DetailDirectorySource::listingRequest(const std::string& url, const WorkKey&,
                                                     WorkForm& form) const {
    ListingRequest request{ListingRequest::Method::Post, url, {}};
    request.fields = {{"key", form.keyword},
                      {"province", form.province},
                      {"page", text::decimal(static_cast<std::int64_t>(form.nextPage) - 1)}};
    ++form.nextPage;
    return request;
}

void DetailDirectorySource::parseListing(std::string_view page, WorkForm& form, const WorkKey& key,
                                         IntakeContext&) const {
    static const std::string kDetails = gbk::fromUtf8(">详细资料<");
    static constexpr std::string_view kLink = "<a href=";
    static constexpr std::string_view kClass = "class=";
    form.detailCount = 0;
    // Old pagers are often left in the page as comments, so the next page
    // number counts only outside them.
    applyPaging(form, hasNextPageNumber(detaildirectory::withoutComments(page), form.knownPages));

    std::string_view rest = page;
    for (;;) {
        Pos p = detaildirectory::findMarker(rest, kDetails);
        if (p == 0) break;
        Pos start = text::scanBack(rest, kLink, p, p) + text::length(kLink);
        // The links are unquoted: the url ends with the blank in front of "class=".
        Pos c = text::scanForward(rest, kClass, start);
        addDetailRow(form, key, std::string(text::cut(rest, start, c - 1)));
        rest = text::tail(rest, c + 40);
    }
}

}  // namespace velmora
