#pragma once
// Source 3: the company directory whose search is a form POST of province
// name, keyword and page index. Result pages mark each company with "【"
// inside its link, often a redirect that carries the company page's address
// in "url="; company pages carry their data as the quoted arguments of the
// script calls addcompanybrief(...) or addcompanyinfo(...), and their
// introduction under one of three headings.
#include <string>

#include "sources/framework/source.h"

namespace velmora {

class ScriptDirectorySource : public Source {
  public:
    // `searchUrl`: the directory's search endpoint, posted to as it stands.
    explicit ScriptDirectorySource(std::string searchUrl) : searchUrl_(std::move(searchUrl)) {}

    int number() const override { return 3; }
    bool hasEmailLookup() const override { return false; }
    const std::string& searchUrl() const { return searchUrl_; }

    // POST of provinceCN = province name, key_word = keyword, page_index =
    // next page - 1 (the site counts its pages from 0); raises next page.
    ListingRequest listingRequest(const std::string& url, const WorkKey& key,
                                  WorkForm& form) const override;
    void parseListing(std::string_view page, WorkForm& form, const WorkKey& key,
                      IntakeContext& intake) const override;
    void parseDetail(std::string_view page, WorkForm& form) const override;

  private:
    std::string searchUrl_;
};

}  // namespace velmora
