#include "demo/websearch/web_search_records.h"

#include <charconv>

#include "app/engine/provinces.h"
#include "demo/fault_response.h"
#include "demo/websearch/homepages.h"
#include "demo/websearch/page_layout_web_search.h"
#include "sources/framework/paging.h"
#include "sources/framework/text_scan.h"

namespace velmora::demo {
namespace {

std::string provinceNameOf(const std::string& code) {
    if (code.empty() || code == "000000") return {};
    const auto& entries = provinces::boxEntries();
    for (size_t i = 1; i < entries.size(); ++i)
        if (provinces::codeOf(entries[i]) == code) return entries[i];
    return {};
}

}  // namespace

std::string webSearchQuery(const std::string& gbkKeyword, const std::string& gbkProvinceName) {
    std::string query = gbkKeyword;
    if (!gbkProvinceName.empty()) {
        if (!gbkKeyword.empty()) query += '+';
        query += gbkProvinceName;
    }
    return query;
}

int homepageNumber(std::string_view path) {
    static constexpr std::string_view kPrefix = "/home/";
    static constexpr std::string_view kSuffix = "/index.htm";
    if (!path.starts_with(kPrefix) || !path.ends_with(kSuffix) ||
        path.size() <= kPrefix.size() + kSuffix.size())
        return 0;
    std::string_view number =
        path.substr(kPrefix.size(), path.size() - kPrefix.size() - kSuffix.size());
    int n = 0;
    auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), n);
    if (ec != std::errc() || end != number.data() + number.size() || n < 1) return 0;
    return n;
}

namespace {

std::vector<int> found(const std::string& gbkKeyword, const std::string& provinceCode,
                       const DemoOptions& options) {
    std::string query = webSearchQuery(gbkKeyword, provinceNameOf(provinceCode));
    return foundHomepages(query, options.seed, options.companies,
                          static_cast<int>(demoHomepages().size()));
}

}  // namespace

int webSearchPageCount(const std::string& gbkKeyword, const std::string& provinceCode,
                       const DemoOptions& options) {
    return resultPageCount(found(gbkKeyword, provinceCode, options).size(), options.pageSize);
}

std::vector<WebSearchRecord> webSearchRecords(const std::string& gbkKeyword,
                                              const std::string& provinceCode,
                                              const DemoOptions& options,
                                              const std::string& address) {
    const auto& homepages = demoHomepages();
    std::vector<WebSearchRecord> out;
    for (const HomepageVisit& visit :
         visitOrder(found(gbkKeyword, provinceCode, options), options.pageSize)) {
        const DemoHomepage& home = homepages[static_cast<size_t>(visit.homepage - 1)];
        // A page that the page check takes for a "not found" page is not read.
        if (isNotFoundPage(text::lowerAscii(home.page))) continue;
        WebSearchRecord r{home.expected, visit.page};
        if (r.record[Field::Name].empty()) continue;
        r.record[Field::Website] = homepageLink(address, visit.homepage);
        out.push_back(std::move(r));
    }
    return out;
}

}  // namespace velmora::demo
