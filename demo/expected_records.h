#pragma once
// The record a correct harvester makes of a company page: the site's
// presentation undone exactly as the parsers do it (lower-casing, tag
// removal, the marketplace's digit filter, the directory's profile sentence),
// plus what the e-mail lookup adds for a directory page without an address.
#include <cstdint>
#include <string>

#include "demo/company.h"
#include "demo/page_damage.h"
#include "sources/framework/record_slot.h"

namespace velmora::demo {

// `served` is regionalServed(); `address` the web search's address.
RecordSlot regionalRecord(const Company& served, const std::string& address, std::uint32_t seed);

// `served` is alibabaServed(); `damage` tells whether the page ended early.
RecordSlot alibabaRecord(const Company& served, PageDamage damage);

}  // namespace velmora::demo
