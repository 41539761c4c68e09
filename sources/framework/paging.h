#pragma once
// Page checks and paging tests shared by the listing parsers.
#include <string>
#include <string_view>

#include "sources/framework/work_form.h"
#include "sources/framework/work_key.h"

namespace velmora {

// Lower-cases the page in place and applies the not-found test; false means
// the step ends with nothing parsed.
bool pageCheck(std::string& page);

// The not-found test on a lower-cased page.
bool isNotFoundPage(std::string_view lowerPage);

// ">" + (knownPages + 1) + "<" occurs in the page.
bool hasNextPageNumber(std::string_view page, int knownPages);
// ">下一页<" occurs in the page.
bool hasNextPageLink(std::string_view page);
// The bare "下一页" occurs in the page.
bool hasNextPageText(std::string_view page);

// Found: known pages grows by 1; not found: known pages becomes 0.
void applyPaging(WorkForm& form, bool nextPageFound);

// Writes the next detail row: mark "N", url, key S[I]n{0}; raises detail count.
void addDetailRow(WorkForm& form, const WorkKey& listingKey, std::string url);

}  // namespace velmora
