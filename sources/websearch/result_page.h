#pragma once
// The two halves of a web-search listing step on a lower-cased result page:
// the pager, whose numbered links become listing rows (one row per result
// page, each page known once), and the hits, whose links become detail rows.
#include <string_view>

#include "sources/framework/work_form.h"
#include "sources/framework/work_key.h"

namespace velmora {

// Reads the pager between the link to the page after this one (">[n+1]<",
// n the key's index, 1 for index 0) and ">下一页": every further numbered
// link there, in order, becomes listing row (known pages + 1) as `base` +
// its relative address, key "1[n]D{X}", unless rows 2 to known pages hold
// that address already.
void collectResultPages(std::string_view page, WorkForm& form, const WorkKey& key,
                        std::string_view base);

// Collects the hits ("<p class=" … href="URL" target=_blank) as detail rows
// "1[I]c{0}" from row 1 on; a url already in rows 1 to k (k the hits seen so
// far) is not added again. Sets detail count.
void collectHits(std::string_view page, WorkForm& form, const WorkKey& key);

}  // namespace velmora
