#pragma once
// E-mail lookup through a web search for the company's name: the result
// page's hits are fetched one by one, and the first "@" of each hit page is
// judged as an address candidate.
#include <string>
#include <string_view>
#include <vector>

#include "sources/framework/record_slot.h"
#include "sources/framework/work_table.h"

namespace velmora {

class HttpClient;

// The search address: base + "/baidu?word=" + '"' + name + '"' + "+mail",
// the name inserted byte for byte.
std::string emailSearchUrl(std::string_view websearchBase, std::string_view name);

// Result links of a lower-cased search page, at most `maxHits` (later hits are
// never read).
std::vector<std::string> extractSearchHits(std::string_view lowerPage, size_t maxHits = 10);

// The run of address bytes around the first "@" of a hit page, with leading
// and trailing "-" and "_" stripped; empty when the page has no "@".
std::string emailCandidate(std::string_view page);

// The acceptance rules of a candidate.
bool isAcceptableEmail(std::string_view candidate);

// The whole lookup for the record's name; may set its e-mail and website.
// Any failed request ends the lookup quietly.
void lookupEmail(HttpClient& http, std::string_view websearchBase, RecordSlot& record,
                 WorkTable& mailHits);

}  // namespace velmora
