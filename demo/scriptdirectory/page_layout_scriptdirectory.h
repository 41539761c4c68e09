#pragma once
// Pages of the company directory with script-embedded records: result pages
// answered to the search form's POST, and company pages under
// /companyinfo/ID.html whose data stand in script calls. Links are unquoted
// and mostly redirects through /search/go.asp that carry the company page's
// address, escaped, in "url=".
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "demo/company.h"
#include "demo/company_catalog.h"
#include "demo/demo_sites.h"
#include "demo/page_damage.h"

namespace velmora::demo {

std::string scriptCompanyUrl(const std::string& address, std::uint64_t id);
// The id of a company page path "/companyinfo/<id>.html".
bool parseScriptCompanyPath(std::string_view path, std::uint64_t& id);

// Result page `page` (from 1) of the directory's companies for a search:
// one "【province】name" link per company, ">下一页<" as a link only when a
// further page exists (and as disabled text on the last page and beyond it,
// unless `pagerEnd` is Plain). A page beyond the last lists nothing, or
// repeats the last one (LastAgain).
std::string scriptListingPage(const CompanySet& set, const std::string& provinceName, int page,
                              int pageSize, const std::string& address, std::size_t targetBytes,
                              PageDamage damage, PagerEnd pagerEnd = PagerEnd::Plain);

// The answer to a search the directory cannot read: the form, no companies.
std::string scriptEmptyListingPage(std::size_t targetBytes);

// Company page of `served` (scriptServed()); a Truncated page ends inside
// its introduction.
std::string scriptDetailPage(const Company& served, std::uint64_t id, std::size_t targetBytes,
                             PageDamage damage);

}  // namespace velmora::demo
