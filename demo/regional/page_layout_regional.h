#pragma once
// Pages of the regional company directory: result pages of
// /main/corp/queryr.asp and company pages of /main/corp/detail.asp.
#include <cstddef>
#include <cstdint>
#include <string>

#include "demo/company.h"
#include "demo/company_catalog.h"
#include "demo/demo_sites.h"
#include "demo/page_damage.h"

namespace velmora::demo {

int pageCount(int companies, int pageSize);

// Result page `page` (from 1) of the pool's regional companies. Each company
// is linked as <a href="detail.asp?corpid=ID">; ">下一页<" shows as a link
// only when a further page exists (and as disabled text on the last page and
// beyond it, unless `pagerEnd` is Plain).
std::string regionalListingPage(const CompanySet& set, int page, int pageSize,
                                std::size_t targetBytes, PageDamage damage,
                                PagerEnd pagerEnd = PagerEnd::Plain);

// The company as its (possibly damaged) detail page shows it: a damaged page
// damages the description, which it always has then.
Company regionalServed(const Company& company, PageDamage damage);

// Company page with one table row per label ("单位名称：" ...). `served` is
// regionalServed(); a Truncated page ends inside its description.
std::string regionalDetailPage(const Company& served, std::size_t targetBytes, PageDamage damage);

}  // namespace velmora::demo
