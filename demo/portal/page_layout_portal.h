#pragma once
// Answer pages of the portal's company search (POST /search): each company in
// a small fixed-width table whose rows carry name, address and telephone,
// each behind a middle dot ("&#183;").
#include <cstddef>
#include <string>
#include <vector>

#include "demo/company_catalog.h"
#include "demo/page_damage.h"
#include "sources/framework/record_slot.h"

namespace velmora::demo {

// Pool indices of the companies on answer page `page` (counted from 0) of a
// set; a page beyond the last one answers as the last one does.
std::vector<int> portalPageCompanies(const CompanySet& set, int page, int pageSize);
int portalPageCount(const CompanySet& set, int pageSize);

// Answer page `page` (from 0). Every page carries the pager; on the last page
// (and beyond) its ">下一页<" stands greyed out, without a link. An empty
// `set` gives the page that a wrong request gets: no company, no pager.
std::string portalAnswerPage(const CompanySet* set, int page, int pageSize, std::size_t targetBytes,
                             PageDamage damage);

// The records a correct harvest of the set yields, in page order (with the
// e-mail lookup on); `address` is the web search's address.
std::vector<RecordSlot> portalRecords(const CompanySet& set, int pageSize,
                                      const std::string& address, std::uint32_t seed);

}  // namespace velmora::demo
