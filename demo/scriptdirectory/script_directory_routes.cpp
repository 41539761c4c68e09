// The requests of the directory with script-embedded records: the search
// form's POST and the company pages.
#include "app/engine/provinces.h"
#include "demo/scriptdirectory/page_layout_scriptdirectory.h"
#include "demo/request_router.h"
#include "demo/scriptdirectory/script_directory_look.h"

namespace velmora::demo {

void RequestRouter::scriptSearch(const httplib::Request& req, httplib::Response& res) {
    ScriptSearch search;
    // A search it cannot read (another method, field order or encoding)
    // finds nothing, as the directory's own script would.
    if (req.method != "POST" || !parseScriptSearchBody(req.body, search)) {
        res.set_content(scriptEmptyListingPage(options_.pageBytes), kGbkHtml);
        return;
    }
    std::string code =
        search.provinceName.empty() ? "000000" : provinces::codeOf(search.provinceName);
    auto set = catalog_.set(search.keyword, normalizedProvinceCode(code));
    int page = search.pageIndex + 1;
    const Fault* fault = findFault(options_.faults, 3, Fault::Listing, page);
    std::string body =
        scriptListingPage(*set, search.provinceName, page, options_.pageSize, address_,
                          options_.pageBytes, damageOf(fault), options_.pagerEnd);
    answer(res, std::move(body), fault, context(static_cast<std::uint64_t>(page) + 303));
}

void RequestRouter::scriptDetail(std::string_view path, httplib::Response& res) {
    std::uint64_t id = 0, regionalId = 0;
    if (!parseScriptCompanyPath(path, id) || !scriptRegionalId(id, regionalId))
        return answerError(res, 404);
    std::optional<CompanyRef> ref = catalog_.byRegionalId(regionalId);
    if (!ref) return answerError(res, 404);
    int index = ref->poolIndex - scriptPoolIndex(*ref->set, 0);
    if (index < 0 || index >= ref->set->perSource) return answerError(res, 404);
    const Fault* fault = findFault(options_.faults, 3, Fault::Detail, index + 1);
    PageDamage damage = damageOf(fault);
    std::string body =
        scriptDetailPage(scriptServed(ref->company(), damage), id, options_.pageBytes, damage);
    answer(res, std::move(body), fault, context(id));
}

}  // namespace velmora::demo
