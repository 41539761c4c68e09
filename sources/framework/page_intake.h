#pragma once
// The intake of sources 5 and 6, whose result pages already carry each
// company's data: their listing step takes the page's companies in itself.
#include <string>
#include <vector>

#include "sources/framework/record_slot.h"
#include "sources/framework/source.h"
#include "sources/framework/work_form.h"

namespace velmora {

// What one result page of such a source says.
struct CompanyPage {
    bool nextPage = false;  // the page's pager shows a further page
    // Every company block of the page, in page order, with the fields the
    // site gives as cut from the page (a name may be empty).
    std::vector<RecordSlot> companies;
};

// Takes the companies of a result page in, in page order: each company with a
// name that the same-name filter accepts gets the e-mail lookup (when the
// option is on) and becomes a list entry before the next one is looked at.
//
// A page that holds no company, or exactly the companies (the same names in
// the same order) of the page before it, takes nothing in and is marked
// spent on the form: sites answer a page beyond their last one with an empty
// page or with the last page again, while a greyed-out "next page" mark keeps
// showing, and the dispatcher ends the paging on a spent page. The names of
// the page are kept on the form for the next page's comparison.
void takeInCompanyPage(CompanyPage& page, WorkForm& form, IntakeContext& intake);

}  // namespace velmora
