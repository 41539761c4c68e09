#include "sources/yellowpages/yellowpages_source.h"

#include "platform/gbk.h"
#include "sources/framework/paging.h"
#include "sources/framework/text_scan.h"

namespace velmora {

using text::Pos;

namespace {

constexpr std::string_view kCategoryLink = "categorycontent.aspx?keyword=";
constexpr std::string_view kName = "m_funitname";
constexpr std::string_view kPhone = "m_ftelphone";
constexpr std::string_view kAddress = "m_faddress";
constexpr std::string_view kValueStart = "\">";
constexpr std::string_view kValueEnd = "</";

// A forward scan from `from` on a page that shrinks only from the front: the
// first position >= from + 1 of the finder's marker, or `clamp`.
Pos scan(text::ForwardFinder& finder, Pos from, Pos clamp) {
    Pos at = finder.next(from + 1);
    return at == 0 ? clamp : at;
}

// The value behind a field marker: from two bytes behind the first '">'
// after `from` up to the next "</". Returns the position of that "</".
struct ValueCut {
    text::ForwardFinder open, close;
    ValueCut(std::string_view page) : open(page, kValueStart), close(page, kValueEnd) {}
    Pos take(std::string_view page, Pos from, Pos end, std::string& value) {
        Pos a = scan(open, from, end);
        Pos b = scan(close, a, end);
        value = std::string(text::cut(page, a + 2, b));
        return b;
    }
};

// The postcode of the text between a company's address and the next company:
// behind "邮编", the six bytes from the first digit of the text that starts
// five bytes behind the label and is as long as the label's distance to the
// next "</" less one.
std::string postcodeOf(std::string_view block) {
    static const std::string kLabel = gbk::fromUtf8("邮编");
    Pos q = text::find(block, kLabel);
    if (q == 0) return {};
    Pos r = text::scanForward(block, kValueEnd, q);
    std::string_view code = text::cut(block, q + 5, q + 5 + (r - q - 1));
    size_t digit = code.find_first_of("0123456789");
    if (digit == std::string_view::npos) return {};
    return std::string(code.substr(digit, 6));
}

}  // namespace

std::string collapseAmpEntities(std::string_view url) {
    // Deleting "amp;" behind the first "&amp;" can only form a new "&amp;"
    // that starts at the same "&", so one pass that collapses the output's
    // tail whenever it ends in "&amp;" gives the same text.
    std::string out;
    out.reserve(url.size());
    for (char c : url) {
        out.push_back(c);
        if (c == ';' && out.size() >= 5 && out.compare(out.size() - 5, 5, "&amp;") == 0)
            out.resize(out.size() - 4);
    }
    return out;
}

std::vector<std::string> parseYellowPagesCategories(std::string_view page, std::string_view base) {
    std::vector<std::string> urls;
    const Pos end = text::length(page);
    text::ForwardFinder links(page, kCategoryLink);
    text::ForwardFinder areas(page, "area=");
    text::ForwardFinder names(page, "categoryname");
    Pos start = 1;  // the remaining page starts here
    for (;;) {
        Pos p = links.next(start);
        if (p == 0) break;
        Pos a = scan(areas, p, end);
        Pos c = scan(names, a, end);
        std::string url(base);
        url.append("/categorycontent.aspx?").append(text::cut(page, a, c));
        urls.push_back(collapseAmpEntities(url));
        start = c;
    }
    return urls;
}

CompanyPage parseYellowPagesResults(std::string_view page) {
    CompanyPage out;
    out.nextPage = hasNextPageText(page);

    // Positions are absolute in `page`; each round's remaining page starts at
    // `start`, and a scan that finds nothing stops at the page's last byte.
    const Pos end = text::length(page);
    text::ForwardFinder names(page, kName), nextNames(page, kName);
    text::ForwardFinder phones(page, kPhone), addresses(page, kAddress);
    ValueCut nameCut(page), phoneCut(page), addressCut(page);
    Pos start = 1;
    for (;;) {
        Pos p = names.next(start);
        if (p == 0) break;
        RecordSlot company;
        nameCut.take(page, p, end, company[Field::Name]);
        // Phone and address: behind the first such marker of the remaining
        // page, wherever it is; without one, from the remaining page's start.
        Pos pp = phones.next(start);
        phoneCut.take(page, pp == 0 ? start - 1 : pp, end, company[Field::Phone]);
        Pos pa = addresses.next(start);
        Pos e = addressCut.take(page, pa == 0 ? start - 1 : pa, end, company[Field::Address]);
        Pos n = scan(nextNames, e, end);
        company[Field::Postcode] = postcodeOf(text::cut(page, e, n));
        out.companies.push_back(std::move(company));
        // Keep the page from e; where that is not behind this company's name
        // marker (no address marker left), from behind the marker, so that no
        // block is read twice.
        start = e > p ? e : p + text::length(kName);
    }
    return out;
}

ListingRequest YellowPagesSource::listingRequest(const std::string& url, const WorkKey& key,
                                                 WorkForm& form) const {
    if (key.index == 0)
        return {ListingRequest::Method::Get,
                url + "?&area=" + form.province + "&keyword=" + form.keyword,
                {}};
    return {ListingRequest::Method::Get, url + "npage=" + text::decimal(form.resultPage), {}};
}

void YellowPagesSource::parseListing(std::string_view page, WorkForm& form, const WorkKey& key,
                                     IntakeContext& intake) const {
    if (key.index == 0) {
        std::int32_t k = 0;
        for (std::string& url : parseYellowPagesCategories(page, base_)) {
            ++k;
            form.detailCount = k;
            form.detail.write(k, "N", std::move(url), WorkKey::make(key.source, k, 0));
        }
        return;
    }
    CompanyPage results = parseYellowPagesResults(page);
    // The first page of a category is compared with no page before it.
    if (form.resultPage == 0) form.lastPageNames.clear();
    if (results.nextPage) {
        // The dispatcher hands the same category out again for its next page.
        ++form.resultPage;
        --form.nextDetailRow;
    } else {
        form.resultPage = 0;
    }
    takeInCompanyPage(results, form, intake);
}

void YellowPagesSource::parseDetail(std::string_view, WorkForm&) const {}

}  // namespace velmora
