#include "sources/alibaba/alibaba_source.h"

#include "platform/gbk.h"
#include "sources/framework/markers.h"
#include "sources/framework/paging.h"
#include "sources/framework/text_scan.h"

namespace velmora {
namespace {

using text::Pos;

// The link that ends in front of position q of `rest`: scanned back from q
// for "http://", then forward to the closing double quote. Empty when no
// "http://" starts before q. `quotes` finds the quote in the whole page,
// whose position `base` is the byte in front of `rest`.
std::string linkBefore(std::string_view rest, Pos q, Pos base, text::ForwardFinder& quotes) {
    Pos s = text::scanBack(rest, "http://", q, 0);
    if (s == 0) return {};
    Pos quote = quotes.next(base + s + 1);
    Pos end = quote == 0 ? text::length(rest) : quote - base;
    return std::string(text::cut(rest, s, end));
}

// A labelled value window: from `offset` bytes behind the label's first byte
// to the first "</li>" after the label (or the page end). Moves `rest` to that
// "</li>". False when the label is missing (rest unchanged).
bool listItemWindow(std::string_view& rest, const std::string& label, Pos offset,
                    std::string_view& window) {
    Pos p = text::find(rest, label);
    if (p == 0) return false;
    Pos afterLabel = p + text::length(label);
    Pos li = text::find(rest, "</li>", afterLabel);
    Pos end = li == 0 ? text::length(rest) + 1 : li;
    window = text::cut(rest, p + offset, end);
    rest = li == 0 ? std::string_view{} : text::tail(rest, li);
    return true;
}

}  // namespace

ListingRequest AlibabaSource::listingRequest(const std::string& url, const WorkKey&,
                                             WorkForm&) const {
    return {ListingRequest::Method::Get, url, {}};
}

void AlibabaSource::parseListing(std::string_view page, WorkForm& form, const WorkKey& key,
                                 IntakeContext&) const {
    static const std::string kContact =
        std::string(">").append(gbk::fromUtf8("联系方式")).append("<");
    form.detailCount = 0;
    applyPaging(form, hasNextPageNumber(page, form.knownPages));

    text::ForwardFinder quotes(page, "\"");
    Pos base = 0;  // `rest` is the page behind position base
    std::string_view rest = page;
    for (;;) {
        Pos q = text::find(rest, kContact);
        if (q == 0) break;
        addDetailRow(form, key, linkBefore(rest, q, base, quotes));
        // Keep the page from inside the marker just used.
        base += q + 5;
        rest = text::tail(rest, q + 6);
    }

    std::string next;
    if (Pos q = text::find(rest, markers::nextPageLink()); q != 0)
        next = linkBefore(rest, q, base, quotes);
    // A pager without a usable next-page link ends the source after this
    // page's details instead of handing out an empty listing row forever.
    if (next.empty()) form.knownPages = 0;
    form.listing.write(1, "N", std::move(next), "2[0]0{0}");
}

void AlibabaSource::parseDetail(std::string_view page, WorkForm& form) const {
    static const std::string kPhone = gbk::fromUtf8("电&nbsp;&nbsp;&nbsp;&nbsp;话");
    static const std::string kFax = gbk::fromUtf8("传&nbsp;&nbsp;&nbsp;&nbsp;真");
    static const std::string kAddress = gbk::fromUtf8("地&nbsp;&nbsp;&nbsp;&nbsp;址");
    static const std::string kPostcode = gbk::fromUtf8("邮&nbsp;&nbsp;&nbsp;&nbsp;编");
    static const std::string kHomepage = gbk::fromUtf8("公司主页：");
    static constexpr std::string_view kName = "class=\"chinaname";
    static constexpr std::string_view kContact = "comy_cont_toclub";

    RecordSlot& slot = form.slot;
    std::string_view rest = page;

    if (Pos p = text::find(rest, kName); p != 0) {
        Pos open = text::scanForward(rest, ">", p, p);
        Pos close = text::scanForward(rest, "<", open);
        slot[Field::Name] = std::string(text::trim(text::cut(rest, open + 1, close)));
        rest = text::tail(rest, close);
    }

    if (Pos p1 = text::find(rest, kContact); p1 != 0) {
        Pos p2 = text::scanForwardMatch(rest, kContact, p1 + 16);
        Pos p3 = p2 == 0 ? 0 : text::scanForwardMatch(rest, kContact, p2);
        Pos at = p3 != 0 ? p3 : p1;
        Pos end = text::scanForward(rest, "</a>", at);
        slot[Field::Contact] = std::string(text::cut(rest, at + 20, end));
        rest = text::tail(rest, end);
    }

    std::string_view window;
    // The window starts on the label's last byte, never a digit.
    if (listItemWindow(rest, kPhone, 27, window))
        slot[Field::Phone] = text::digitFilter(text::trim(window));
    if (listItemWindow(rest, kFax, 27, window))
        slot[Field::Fax] = text::digitFilter(text::trim(window));
    // Address and postcode start at the third byte behind the label.
    if (listItemWindow(rest, kAddress, 30, window))
        slot[Field::Address] = std::string(text::trim(window));
    if (listItemWindow(rest, kPostcode, 30, window))
        slot[Field::Postcode] = std::string(text::trim(window));

    if (Pos p = text::find(rest, kHomepage); p != 0) {
        static constexpr std::string_view kBlank = "\"_blank\">";
        Pos a = text::scanForward(rest, kBlank, p + 10);
        Pos b = text::scanForward(rest, "</a>", a + 9);
        std::string website(text::cut(rest, a + 9, b));
        if (!text::contains(website, "alibaba")) slot[Field::Website] = std::move(website);
    }
}

}  // namespace velmora
