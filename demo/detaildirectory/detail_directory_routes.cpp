// The directory with detail pages: its search form answers POST requests
// only, and only a body of exactly key, province and page in that order,
// encoded as a browser's form encoding does it, gets results; anything else
// gets the empty result page, as the real form script would give.
#include <charconv>

#include "app/engine/provinces.h"
#include "demo/detaildirectory/page_layout_detaildirectory.h"
#include "demo/request_router.h"
#include "demo/url_codec.h"
#include "sources/framework/escaping.h"

namespace velmora::demo {
namespace {

struct SearchForm {
    std::string keyword;
    std::string province;
    int page = 0;
};

// One field "name=value" of a form body; the value is decoded ("+" is a
// space) and must read back to exactly the bytes the client sent.
bool formField(std::string_view piece, std::string_view name, std::string& value) {
    if (piece.size() <= name.size() || piece.substr(0, name.size()) != name ||
        piece[name.size()] != '=')
        return false;
    std::string_view raw = piece.substr(name.size() + 1);
    std::string spaced(raw);
    for (char& c : spaced)
        if (c == '+') c = ' ';
    value = percentDecode(spaced);
    return text::formValueEncode(value) == raw;
}

bool readSearchForm(const httplib::Request& req, SearchForm& form) {
    if (req.method != "POST" ||
        req.get_header_value("Content-Type").find("application/x-www-form-urlencoded") != 0)
        return false;
    std::string_view body = req.body;
    std::size_t a = body.find('&');
    std::size_t b = a == std::string_view::npos ? a : body.find('&', a + 1);
    if (b == std::string_view::npos || body.find('&', b + 1) != std::string_view::npos)
        return false;
    std::string pageText;
    if (!formField(body.substr(0, a), "key", form.keyword) ||
        !formField(body.substr(a + 1, b - a - 1), "province", form.province) ||
        !formField(body.substr(b + 1), "page", pageText))
        return false;
    if (pageText.empty() || (pageText.size() > 1 && pageText[0] == '0')) return false;
    auto [end, ec] = std::from_chars(pageText.data(), pageText.data() + pageText.size(), form.page);
    return ec == std::errc() && end == pageText.data() + pageText.size() && form.page >= 0;
}

}  // namespace

void RequestRouter::detailDirectoryListing(const httplib::Request& req, httplib::Response& res) {
    SearchForm form;
    bool ok = readSearchForm(req, form);
    std::string code = ok ? provinces::codeOf(form.province) : "000000";
    auto set = catalog_.set(form.keyword, normalizedProvinceCode(code));
    const Fault* fault = findFault(options_.faults, 4, Fault::Listing, form.page + 1);
    std::string body = detailDirectoryListingPage(*set, form.page, options_.pageSize, ok, address_,
                                                  options_.pageBytes, damageOf(fault));
    answer(res, std::move(body), fault, context(static_cast<std::uint64_t>(form.page) + 401));
}

void RequestRouter::detailDirectoryDetail(const std::string& target, httplib::Response& res) {
    std::string idText;
    std::uint64_t id = 0;
    if (!queryValue(splitQuery(target), "id", idText)) return answerError(res, 404);
    auto [end, ec] = std::from_chars(idText.data(), idText.data() + idText.size(), id);
    if (ec != std::errc() || end != idText.data() + idText.size()) return answerError(res, 404);
    std::optional<CompanyRef> ref = catalog_.byRegionalId(id);
    if (!ref || ref->poolIndex >= ref->set->perSource) return answerError(res, 404);
    const Fault* fault = findFault(options_.faults, 4, Fault::Detail, ref->poolIndex + 1);
    PageDamage damage = damageOf(fault);
    std::string body = detailDirectoryDetailPage(detailDirectoryServed(ref->company(), damage),
                                                 options_.pageBytes, damage);
    answer(res, std::move(body), fault, context(id + 4));
}

}  // namespace velmora::demo
