#pragma once
// Source 2: the Alibaba company search. Result pages link each company's
// contact page with the anchor text "联系方式"; the contact page yields seven
// fields by fixed markers of the site's layout.
#include "sources/framework/source.h"

namespace velmora {

class AlibabaSource : public Source {
  public:
    int number() const override { return 2; }
    bool hasEmailLookup() const override { return false; }

    // GET of the work item's url, unchanged; the site links its next page.
    ListingRequest listingRequest(const std::string& url, const WorkKey& key,
                                  WorkForm& form) const override;
    void parseListing(std::string_view page, WorkForm& form, const WorkKey& key,
                      IntakeContext& intake) const override;
    void parseDetail(std::string_view page, WorkForm& form) const override;
};

}  // namespace velmora
