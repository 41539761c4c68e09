#pragma once
// Pages of the marketplace's company search: result pages under
// /company/k-..._n-y.html and company contact pages under /athena/contact/.
// Every link on them is absolute and lower-case, since the harvester cuts
// links out of the lower-cased page.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "demo/company.h"
#include "demo/company_catalog.h"
#include "demo/page_damage.h"

namespace velmora::demo {

// Address of result page `page` (from 1); `provinceName` GBK, empty for none.
std::string alibabaPageUrl(const std::string& address, const std::string& keyword,
                           const std::string& provinceName, int page);
std::string alibabaContactUrl(const std::string& address, std::uint64_t id);

// The keyword, province name and page of a result page path (either case of
// hex escapes; the first result page as the harvester builds it, the others
// as alibabaPageUrl() links them). False for any other path.
bool parseAlibabaListingPath(std::string_view path, std::string& keyword, std::string& provinceName,
                             int& page);
// The id of a contact page path "/athena/contact/<id>.html".
bool parseAlibabaContactPath(std::string_view path, std::uint64_t& id);

// Result page `page` of the pool's marketplace companies: a ">联系方式<" link
// per company, a pager that shows the following page's number and an
// absolute ">下一页<" link only when a further page exists.
std::string alibabaListingPage(const CompanySet& set, const std::string& provinceName, int page,
                               int pageSize, const std::string& address, std::size_t targetBytes,
                               PageDamage damage);

// The company as its (possibly damaged) contact page shows it: a damaged page
// damages the address.
Company alibabaServed(const Company& company, PageDamage damage);

// Contact page of a company (`served` from alibabaServed()); a Truncated page
// ends inside the address.
std::string alibabaDetailPage(const Company& served, std::uint64_t id, const std::string& address,
                              std::size_t targetBytes, PageDamage damage);

// What the homepage line shows for a marketplace link (its text holds "Alibaba").
std::string marketplaceHomepage(std::uint64_t id);

}  // namespace velmora::demo
