#include "sources/websearch/web_search_source.h"

#include "sources/framework/escaping.h"
#include "sources/framework/text_scan.h"
#include "sources/websearch/homepage_extractor.h"
#include "sources/websearch/result_page.h"

namespace velmora {

std::string webSearchStartUrl(const std::string& websearchBase, const std::string& gbkKeyword,
                              const std::string& gbkProvinceName) {
    std::string url = websearchBase + "/baidu?word=" + text::urlByteEscape(gbkKeyword);
    if (!gbkProvinceName.empty()) {
        if (!gbkKeyword.empty()) url += '+';
        url += text::urlByteEscape(gbkProvinceName);
    }
    return url;
}

ListingRequest WebSearchSource::listingRequest(const std::string& url, const WorkKey&,
                                               WorkForm&) const {
    return {ListingRequest::Method::Get, url, {}};
}

bool WebSearchSource::allowsRequest(const std::string& url, const std::string& key,
                                    const WorkForm& form) const {
    const std::string& website = form.slot[Field::Website];
    bool containsWebsite = !website.empty() && text::contains(url, website);
    if (!website.empty() && !containsWebsite) return false;
    if (text::contains(key, "+") && !containsWebsite) return false;
    return true;
}

void WebSearchSource::parseListing(std::string_view page, WorkForm& form, const WorkKey& key,
                                   IntakeContext&) const {
    collectResultPages(page, form, key, base_);
    collectHits(page, form, key);
}

void WebSearchSource::parseDetail(std::string_view page, WorkForm& form) const {
    extractHomepage(page, form.keyword, form.slot);
}

}  // namespace velmora
