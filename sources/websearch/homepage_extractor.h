#pragma once
// The homepage contact extractor: reads an arbitrary company homepage by label
// words, character classes and a few thresholds (never as a markup tree) and
// fills the record slot with the company name, phone, fax, contact person,
// manager, address, postcode, e-mail and a profile text.
#include <string_view>

#include "sources/framework/record_slot.h"

namespace velmora {

// `page` is the homepage exactly as the detail step of the web-search source
// hands it over: after the page check, so already lower-cased (only the bytes
// "A".."Z" changed). The extractor does not lower-case it again.
// `keyword` is the run's search keyword (GBK) as the run control built it; it
// is compared with the lower-cased title as it is, so a keyword with Latin
// capitals never matches.
//
// Each field is looked for only while it is empty in `slot` (the postcode
// alone is always looked for and may be overwritten); the website is never
// written. Runs in time linear in the page.
void extractHomepage(std::string_view page, std::string_view keyword, RecordSlot& slot);

}  // namespace velmora
