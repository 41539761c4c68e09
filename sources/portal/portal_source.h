#pragma once
// Source 5: a web portal's company search. The search is a form POST of
// keyword, province code and page number; each answer page lists companies in
// small fixed-width tables whose text carries name, address and telephone
// separated by middle dots ("&#183;"). There are no detail pages: the listing
// step takes the companies in itself.
#include <string>
#include <string_view>

#include "sources/framework/page_intake.h"
#include "sources/framework/source.h"

namespace velmora {

// The companies of a lower-cased answer page (name, address and phone, tags
// removed, not trimmed) and whether it shows ">下一页<".
CompanyPage parsePortalAnswer(std::string_view page);

class PortalSource : public Source {
  public:
    int number() const override { return 5; }
    DispatchRules rules() const override { return DispatchRules::Portal; }
    bool hasEmailLookup() const override { return true; }

    // POST of keyWord, provid (province code), page (next page, from 0) and
    // reaid=0 to the url (the portal's address + "/search?"); raises next page.
    ListingRequest listingRequest(const std::string& url, const WorkKey& key,
                                  WorkForm& form) const override;
    // Known pages from the pager, then the companies through `intake`.
    void parseListing(std::string_view page, WorkForm& form, const WorkKey& key,
                      IntakeContext& intake) const override;
    // The source has no detail pages.
    void parseDetail(std::string_view page, WorkForm& form) const override;
};

}  // namespace velmora
