#pragma once
// Pages of the yellow-pages directory: the category search
// (/yp/search.aspx?&area=...&keyword=...), which lists the categories of the
// companies found, and the result pages of one category
// (/yp/categorycontent.aspx?...&npage=P), whose company blocks carry name,
// phone, address and postcode.
#include <cstddef>
#include <string>
#include <vector>

#include "demo/company_catalog.h"
#include "demo/page_damage.h"
#include "sources/framework/record_slot.h"

namespace velmora::demo {

// A category of a set: its name (GBK) and the pool indices it lists. The
// categories share companies, so a name comes up in several of them.
struct YellowPagesCategory {
    std::string name;
    std::vector<int> companies;
};
std::vector<YellowPagesCategory> yellowPagesCategories(const CompanySet& set);

int yellowPagesPageCount(const YellowPagesCategory& category, int pageSize);
// Result pages of all categories, in the order a harvest requests them.
int yellowPagesPageCount(const CompanySet& set, int pageSize);
// 1-based place of result page `page` (from 0) of category `category` (from
// 1) in that order; 0 for a page beyond a category's last one.
int yellowPagesPageOrdinal(const CompanySet& set, int category, int page, int pageSize);

// The category search page; `set` null gives the page a wrong request gets
// (no category). `areaName` is the area as received (GBK, may be empty).
std::string yellowPagesSearchPage(const CompanySet* set, const std::string& areaName,
                                  std::size_t targetBytes, PageDamage damage);

// Result page `page` (from 0) of category `category` (from 1). A category of
// several pages draws its pager with a script that names "下一页" on every
// page, and answers a page beyond its last one with an empty list.
std::string yellowPagesResultPage(const CompanySet* set, int category, int page, int pageSize,
                                  std::size_t targetBytes, PageDamage damage);

// The records a correct harvest of the set yields (same-name filter off,
// e-mail lookup on), in the order they arrive.
std::vector<RecordSlot> yellowPagesRecords(const CompanySet& set, const std::string& address,
                                           std::uint32_t seed);

}  // namespace velmora::demo
