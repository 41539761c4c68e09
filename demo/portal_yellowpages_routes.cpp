#include "demo/portal_yellowpages_routes.h"

#include <charconv>

#include "app/engine/provinces.h"
#include "demo/portal/page_layout_portal.h"
#include "demo/yellowpages/page_layout_yellowpages.h"
#include "demo/request_router.h"
#include "demo/url_codec.h"
#include "platform/form_encoding.h"

namespace velmora::demo {
namespace {

// A plain decimal from 0 up (no sign, no blanks).
bool plainNumber(std::string_view text, int& value) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// The value of one form field as a browser would have sent it: decoded, and
// encoded again exactly as it arrived.
bool formValue(std::string_view raw, std::string& value) {
    std::string plus(raw);
    for (char& c : plus)
        if (c == '+') c = ' ';
    value = percentDecode(plus);
    return text::formValueEncode(value) == raw;
}

struct PortalForm {
    std::string keyword;
    std::string provinceCode;
    int page = 0;
};

// "keyWord=K&provid=P&page=N&reaid=0", nothing else.
bool readPortalForm(const httplib::Request& req, PortalForm& form) {
    if (req.method != "POST") return false;
    if (req.get_header_value("Content-Type").rfind("application/x-www-form-urlencoded", 0) != 0)
        return false;
    static constexpr std::string_view kNames[] = {"keyWord", "provid", "page", "reaid"};
    std::string_view body = req.body;
    std::string values[4];
    for (int i = 0; i < 4; ++i) {
        size_t amp = body.find('&');
        std::string_view field = body.substr(0, amp);
        if ((amp == std::string_view::npos) != (i == 3)) return false;
        body = amp == std::string_view::npos ? std::string_view{} : body.substr(amp + 1);
        size_t eq = field.find('=');
        if (eq == std::string_view::npos || field.substr(0, eq) != kNames[i]) return false;
        if (!formValue(field.substr(eq + 1), values[i])) return false;
    }
    int code = 0;
    if (values[1].size() != 6 || !plainNumber(values[1], code)) return false;
    if (!plainNumber(values[2], form.page) || values[3] != "0") return false;
    form.keyword = values[0];
    form.provinceCode = normalizedProvinceCode(values[1]);
    return true;
}

}  // namespace

bool yellowPagesAreaCode(const std::string& areaName, std::string& code) {
    code = "000000";
    if (areaName.empty()) return true;
    const auto& entries = provinces::boxEntries();
    for (size_t i = 1; i < entries.size(); ++i)
        if (entries[i] == areaName) {
            code = normalizedProvinceCode(provinces::codeOf(areaName));
            return true;
        }
    return false;
}

void servePortalSearch(const httplib::Request& req, httplib::Response& res, CompanyCatalog& catalog,
                       const DemoOptions& options, const AnswerContextMaker& context) {
    PortalForm form;
    if (!readPortalForm(req, form)) {
        answer(res,
               portalAnswerPage(nullptr, 0, options.pageSize, options.pageBytes, PageDamage::None),
               nullptr, context(5));
        return;
    }
    auto set = catalog.set(form.keyword, form.provinceCode);
    const Fault* fault = findFault(options.faults, 5, Fault::Listing, form.page + 1);
    std::string body = portalAnswerPage(set.get(), form.page, options.pageSize, options.pageBytes,
                                        damageOf(fault));
    answer(res, std::move(body), fault, context(static_cast<std::uint64_t>(form.page) + 500));
}

void serveYellowPagesSearch(const httplib::Request& req, httplib::Response& res,
                            CompanyCatalog& catalog, const DemoOptions& options,
                            const AnswerContextMaker& context) {
    // "?&area=A&keyword=K": both keys, in this order, behind an empty first one.
    std::string_view target = req.target;
    size_t q = target.find('?');
    std::string_view query =
        q == std::string_view::npos ? std::string_view{} : target.substr(q + 1);
    std::string area, keyword, code;
    bool valid = false;
    if (req.method == "GET" && query.rfind("&area=", 0) == 0) {
        query.remove_prefix(6);
        size_t amp = query.find('&');
        if (amp != std::string_view::npos && query.substr(amp).rfind("&keyword=", 0) == 0) {
            area = percentDecode(query.substr(0, amp));
            std::string_view rawKeyword = query.substr(amp + 9);
            keyword = percentDecode(rawKeyword);
            valid =
                rawKeyword.find('&') == std::string_view::npos && yellowPagesAreaCode(area, code);
        }
    }
    const Fault* fault = valid ? findFault(options.faults, 6, Fault::Listing, 1) : nullptr;
    std::shared_ptr<const CompanySet> set;
    if (valid) set = catalog.set(keyword, code);
    std::string body = yellowPagesSearchPage(set.get(), area, options.pageBytes, damageOf(fault));
    answer(res, std::move(body), fault, context(600));
}

void serveYellowPagesCategory(const httplib::Request& req, httplib::Response& res,
                              CompanyCatalog& catalog, const DemoOptions& options,
                              const AnswerContextMaker& context) {
    RawQuery query = splitQuery(req.target);
    std::string area, keyword, classText, pageText, code;
    int category = 0, page = 0;
    bool valid = req.method == "GET" && queryValue(query, "area", area) &&
                 queryValue(query, "classid", classText) && queryValue(query, "key", keyword) &&
                 queryValue(query, "npage", pageText) && plainNumber(classText, category) &&
                 plainNumber(pageText, page) && yellowPagesAreaCode(area, code);
    std::shared_ptr<const CompanySet> set;
    const Fault* fault = nullptr;
    if (valid) {
        set = catalog.set(keyword, code);
        int ordinal = yellowPagesPageOrdinal(*set, category, page, options.pageSize);
        fault = findFault(options.faults, 6, Fault::Detail, ordinal);
    }
    std::string body = yellowPagesResultPage(set.get(), category, page, options.pageSize,
                                             options.pageBytes, damageOf(fault));
    answer(res, std::move(body), fault,
           context(700 + static_cast<std::uint64_t>(category) * 1000 +
                   static_cast<std::uint64_t>(page)));
}

}  // namespace velmora::demo
