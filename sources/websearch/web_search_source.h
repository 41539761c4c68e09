#pragma once
// Source 1: a general web search. Its listing table holds one row per known
// result page, taken from the pagers of the pages already read; every hit of
// a result page is treated as a company homepage and read by the homepage
// contact extractor, and the hit's address becomes the record's website.
#include <string>

#include "sources/framework/source.h"

namespace velmora {

// The first result page for a search: `websearchBase` + "/baidu?word=" + the
// escaped keyword, then, when a province is chosen, "+" (only behind a
// keyword) and the escaped province name. Keyword and province are GBK.
std::string webSearchStartUrl(const std::string& websearchBase, const std::string& gbkKeyword,
                              const std::string& gbkProvinceName);

class WebSearchSource : public Source {
  public:
    // `websearch`: scheme and host of the search engine; its pager links are
    // relative to websearch + "/".
    explicit WebSearchSource(std::string websearch) : base_(std::move(websearch) + "/") {}

    int number() const override { return 1; }
    DispatchRules rules() const override { return DispatchRules::WebSearch; }
    bool hasEmailLookup() const override { return false; }

    // GET of the work item's url, unchanged.
    ListingRequest listingRequest(const std::string& url, const WorkKey& key,
                                  WorkForm& form) const override;
    // A step is skipped when the slot holds a website that the url does not
    // contain, or when its key carries "+" and the url does not contain the
    // (non-empty) website.
    bool allowsRequest(const std::string& url, const std::string& key,
                       const WorkForm& form) const override;
    // The pager, then the hits.
    void parseListing(std::string_view page, WorkForm& form, const WorkKey& key,
                      IntakeContext& intake) const override;
    // The homepage contact extractor, with the run's search keyword.
    void parseDetail(std::string_view page, WorkForm& form) const override;

    const std::string& base() const { return base_; }

  private:
    std::string base_;
};

}  // namespace velmora
