#include "app/engine/source_starts.h"

#include <algorithm>

#include "sources/framework/escaping.h"

namespace velmora {
namespace {

std::string startKey(int source) {
    return std::to_string(source) + "[0]0{0}";
}

// The web search of source 1: the keyword, and the province name behind a
// "+" when one is chosen, each escaped byte by byte.
std::string webSearchStart(const SiteConfig& sites, const SearchInputs& in) {
    std::string url = sites.websearch + "/baidu?word=" + text::urlByteEscape(in.keyword);
    if (!in.provinceName.empty()) {
        if (!in.keyword.empty()) url += '+';
        url += text::urlByteEscape(in.provinceName);
    }
    return url;
}

std::string alibabaStart(const SiteConfig& sites, const SearchInputs& in,
                         const std::string& provinceBox) {
    std::string url = sites.alibaba;
    url.append("/company/k-").append(text::urlByteEscape(in.keyword));
    if (!in.provinceName.empty()) url.append("_province-").append(text::urlByteEscape(provinceBox));
    url.append("_n-y.html");
    return url;
}

}  // namespace

std::vector<int> startOrder(const std::vector<int>& chosen) {
    std::vector<int> order;
    auto wanted = [&](int s) { return std::find(chosen.begin(), chosen.end(), s) != chosen.end(); };
    for (int s : {7, 2, 1, 3, 4, 5, 6})
        if (wanted(s)) order.push_back(s);
    return order;
}

const std::string& sourceAddress(const SiteConfig& sites, int source) {
    static const std::string kNone;
    switch (source) {
        case 1:
            return sites.websearch;
        case 2:
            return sites.alibaba;
        case 3:
            return sites.scriptDirectory;
        case 4:
            return sites.detailDirectory;
        case 5:
            return sites.portal;
        case 6:
            return sites.yellowPages;
        case 7:
            return sites.regional;
        default:
            return kNone;
    }
}

void prepareSourceStart(int source, const SiteConfig& sites, const SearchInputs& in,
                        const std::string& provinceBox, WorkForm& form) {
    std::string url;
    form.keyword = in.keyword;
    form.listingFailures = 0;
    form.knownPages = 1;
    form.nextPage = 1;
    switch (source) {
        case 1:
            url = webSearchStart(sites, in);
            form.province = in.provinceName;
            break;
        case 2:
            url = alibabaStart(sites, in, provinceBox);
            form.province = in.provinceName;
            break;
        case 3:
            url = sites.scriptDirectory;
            form.province = in.provinceName;
            break;
        case 4:
            url = sites.detailDirectory;
            form.province = in.provinceName;
            break;
        case 5:
            // The portal counts its pages from 0; both counters start there.
            url = sites.portal + "/search?";
            form.province = in.provinceCode;
            form.knownPages = 0;
            form.nextPage = 0;
            break;
        case 6:
            url = sites.yellowPages;
            form.province = in.provinceName;
            form.detailCount = 0;
            form.nextDetailRow = 0;
            form.startTaken = false;
            form.resultPage = 0;
            break;
        case 7:
            url = sites.regional + "/main/corp/queryr.asp";
            form.province = in.provinceCode;
            break;
        default:
            return;
    }
    // An unconfigured address leaves the item without "http://", so the
    // source finishes at its first dispatch.
    form.listing.write(1, "N", std::move(url), startKey(source));
}

}  // namespace velmora
