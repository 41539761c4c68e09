#pragma once
// The per-source working state: work tables, counters, record slot and the
// search inputs. Written by the source's current worker and by its
// dispatcher, never at the same time (the dispatcher runs after the step).
#include <cstdint>
#include <string>
#include <vector>

#include "sources/framework/record_slot.h"
#include "sources/framework/work_table.h"

namespace velmora {

struct WorkForm {
    explicit WorkForm(int listingRows = 42) : listing(listingRows) {}

    WorkTable listing;
    WorkTable detail{42};
    WorkTable mailHits{10};

    std::int32_t knownPages = 0;
    std::int32_t nextPage = 0;
    std::int32_t detailCount = 0;
    std::int32_t nextDetailRow = 0;

    RecordSlot slot;

    // Search inputs in the form the site expects.
    std::string keyword;
    std::string province;  // province code, or the site's province value

    // Source 6: start item handed out; page number of the category in hand.
    bool startTaken = false;
    std::int32_t resultPage = 0;

    // Sources 5 and 6, which take companies in during their listing step: the
    // company names of the last result page (source 6: of the category in
    // hand), and whether that page held no company or only those of the page
    // before it, which ends the paging.
    std::vector<std::string> lastPageNames;
    bool lastPageSpent = false;

    // Consecutive failed listing steps of a source that does not count pages
    // (source 2); bounds the retries of a listing page that keeps failing.
    std::int32_t listingFailures = 0;
};

}  // namespace velmora
