#include "sources/portal/portal_source.h"

#include "sources/framework/paging.h"
#include "sources/framework/text_scan.h"

namespace velmora {

using text::Pos;

namespace {

constexpr std::string_view kTable =
    "<table cellspacing=0 cellpadding=0 width=168 border=0 align=center>";
constexpr std::string_view kDot = "&#183;";  // the middle dot between the fields
constexpr Pos kDotLength = 6;

// The first position >= from + 1 of the finder's marker, or `clamp`: a
// forward scan from `from` on a page that shrinks only from the front.
Pos scan(text::ForwardFinder& finder, Pos from, Pos clamp) {
    Pos at = finder.next(from + 1);
    return at == 0 ? clamp : at;
}

}  // namespace

CompanyPage parsePortalAnswer(std::string_view page) {
    CompanyPage out;
    out.nextPage = hasNextPageLink(page);

    // Positions are absolute in `page`; each round's remaining page starts at
    // `start`, and a scan that finds nothing stops at the page's last byte,
    // which is also the remaining page's last byte.
    const Pos end = text::length(page);
    text::ForwardFinder tables(page, kTable);
    text::ForwardFinder dots(page, kDot);
    text::ForwardFinder rowEnds(page, "</tr>");
    Pos start = 1;
    for (;;) {
        Pos p = tables.next(start);
        if (p == 0) break;
        Pos a = scan(dots, p, end);
        // Each scan also examines the byte right behind the previous
        // separator, so a field left empty between two separators reads as
        // empty instead of swallowing the next company's text.
        Pos b = scan(dots, a + kDotLength - 1, end);
        Pos c = scan(dots, b + kDotLength - 1, end);
        Pos d = scan(rowEnds, c + kDotLength - 1, end);

        RecordSlot company;
        company[Field::Name] = text::removeTags(text::cut(page, a + kDotLength, b));
        company[Field::Address] = text::removeTags(text::cut(page, b + kDotLength, c));
        company[Field::Phone] = text::removeTags(text::cut(page, c + kDotLength, d));
        out.companies.push_back(std::move(company));
        start = d;  // keep the page from d
    }
    return out;
}

ListingRequest PortalSource::listingRequest(const std::string& url, const WorkKey&,
                                            WorkForm& form) const {
    ListingRequest request{ListingRequest::Method::Post, url, {}};
    request.fields = {{"keyWord", form.keyword},
                      {"provid", form.province},
                      {"page", text::decimal(form.nextPage)},
                      {"reaid", "0"}};
    ++form.nextPage;
    return request;
}

void PortalSource::parseListing(std::string_view page, WorkForm& form, const WorkKey&,
                                IntakeContext& intake) const {
    CompanyPage answer = parsePortalAnswer(page);
    applyPaging(form, answer.nextPage);
    takeInCompanyPage(answer, form, intake);
}

void PortalSource::parseDetail(std::string_view, WorkForm&) const {}

}  // namespace velmora
