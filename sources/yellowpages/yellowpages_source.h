#pragma once
// Source 6: a yellow-pages directory. Its search answers keyword and area with
// a list of categories; each category leads to paged result lists that carry
// every company's name, phone, address and postcode in blocks marked
// "m_funitname", "m_ftelphone" and "m_faddress". The first step collects the
// categories; every further step reads one result page of one category and
// takes its companies in itself. The work key's index says which: 0 is the
// category search, k > 0 a result page of category row k.
#include <string>
#include <string_view>
#include <vector>

#include "sources/framework/page_intake.h"
#include "sources/framework/source.h"

namespace velmora {

// Category urls of a lower-cased category search page: `base` +
// "/categorycontent.aspx?" + the link text from "area=" to "categoryname",
// with every "&amp;" made "&".
std::vector<std::string> parseYellowPagesCategories(std::string_view page, std::string_view base);

// The companies of a lower-cased result page (name, phone, address,
// postcode, as they stand between the markers) and whether it shows "下一页".
CompanyPage parseYellowPagesResults(std::string_view page);

// "&amp;" made "&" wherever it occurs, also where a deletion forms a new one
// ("&amp;amp;" becomes "&").
std::string collapseAmpEntities(std::string_view url);

class YellowPagesSource : public Source {
  public:
    // `base`: the directory's address in front of "/categorycontent.aspx?".
    explicit YellowPagesSource(std::string base) : base_(std::move(base)) {}

    int number() const override { return 6; }
    DispatchRules rules() const override { return DispatchRules::YellowPages; }
    int listingRows() const override { return 2; }
    bool hasEmailLookup() const override { return true; }
    // The directory answers its own "not found" texts in ordinary pages, and a
    // step in flight reads its page to the end even once the run is stopped.
    bool appliesNotFoundTest() const override { return false; }
    bool parsesOnlyWhileRunning() const override { return false; }
    // A failed result page moves on to the next category, from its first page.
    void listingStepFailed(WorkForm& form) const override { form.resultPage = 0; }

    // Index 0: GET url + "?&area=" + area + "&keyword=" + keyword. Index k:
    // GET url + "npage=" + result page. Values go in as they are.
    ListingRequest listingRequest(const std::string& url, const WorkKey& key,
                                  WorkForm& form) const override;
    // Index 0: the category rows. Index k: paging, then the companies through
    // `intake`.
    void parseListing(std::string_view page, WorkForm& form, const WorkKey& key,
                      IntakeContext& intake) const override;
    // The source has no detail pages.
    void parseDetail(std::string_view page, WorkForm& form) const override;

  private:
    std::string base_;
};

}  // namespace velmora
