#include "sources/framework/page_intake.h"

#include <algorithm>

namespace velmora {

namespace {

bool sameNames(const std::vector<RecordSlot>& companies, const std::vector<std::string>& names) {
    return std::equal(
        companies.begin(), companies.end(), names.begin(), names.end(),
        [](const RecordSlot& c, const std::string& n) { return c[Field::Name] == n; });
}

}  // namespace

void takeInCompanyPage(CompanyPage& page, WorkForm& form, IntakeContext& intake) {
    form.lastPageSpent = page.companies.empty() || sameNames(page.companies, form.lastPageNames);
    if (form.lastPageSpent) return;
    form.lastPageNames.clear();
    for (const RecordSlot& c : page.companies) form.lastPageNames.push_back(c[Field::Name]);

    intake.takeInCompanies(page.companies);
}

void IntakeContext::takeInCompanies(std::vector<RecordSlot>& companies) {
    for (RecordSlot& company : companies) {
        if (company[Field::Name].empty()) continue;
        if (!acceptName(company[Field::Name])) continue;
        lookupEmailIfWanted(company);
        takeIn(company);
    }
}

}  // namespace velmora
