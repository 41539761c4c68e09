#pragma once
// The record a correct harvester makes of a company that a result page shows
// whole (the portal search and the yellow pages): the page's fields as the
// parsers read them off the lower-cased page, plus what the e-mail lookup
// finds for the name on the demo web search (these sites show no address).
#include <cstdint>
#include <string>

#include "sources/framework/record_slot.h"

namespace velmora::demo {

// The fields are given as the page shows them (GBK); `address` is the web
// search's address.
RecordSlot listedRecord(const std::string& name, const std::string& phone,
                        const std::string& streetAddress, const std::string& postcode,
                        const std::string& address, std::uint32_t seed);

}  // namespace velmora::demo
