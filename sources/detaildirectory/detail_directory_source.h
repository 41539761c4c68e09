#pragma once
// Source 4: the company directory with detail pages. Its search is a form
// POST of keyword, province name and page number (counted from 0); result
// pages link every company through an anchor "详细资料" to a page of labelled
// table rows, many of which carry the company's introduction between
// comment markers. Pages without an e-mail address go to the e-mail lookup.
#include <string>

#include "sources/framework/source.h"

namespace velmora {

class DetailDirectorySource : public Source {
  public:
    // `endpoint`: the url of the directory's search form.
    explicit DetailDirectorySource(std::string endpoint) : endpoint_(std::move(endpoint)) {}

    int number() const override { return 4; }
    bool hasEmailLookup() const override { return true; }
    const std::string& endpoint() const { return endpoint_; }

    // POST of key = keyword, province = province value, page = next page - 1
    // to the work item's url; raises next page.
    ListingRequest listingRequest(const std::string& url, const WorkKey& key,
                                  WorkForm& form) const override;
    void parseListing(std::string_view page, WorkForm& form, const WorkKey& key,
                      IntakeContext& intake) const override;
    void parseDetail(std::string_view page, WorkForm& form) const override;

  private:
    std::string endpoint_;
};

namespace detaildirectory {

// The result page with its comments taken out the site's way: from the
// first "<!-" through the "-" of the first "->" that starts on the second
// byte behind the "<!-" or later (without one, through the byte right behind
// the "<!-"), the ">" staying; then again on the text that results, until no
// "<!-" is left. Linear in the page.
std::string withoutComments(std::string_view page);

}  // namespace detaildirectory
}  // namespace velmora
