#pragma once
// The record a correct harvester makes of a company page of the directory
// with detail pages, plus what the e-mail lookup adds where the page shows
// no address.
#include <cstdint>
#include <string>

#include "demo/company.h"
#include "demo/page_damage.h"
#include "sources/framework/record_slot.h"

namespace velmora::demo {

// `served` is detailDirectoryServed(); `address` the web search's address.
RecordSlot detailDirectoryRecord(const Company& served, PageDamage damage,
                                 const std::string& address, std::uint32_t seed);

}  // namespace velmora::demo
