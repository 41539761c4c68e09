#pragma once
// What a correct harvest of the demo web search (source 1) takes in: every
// homepage its result pages link, in the order the hits are visited (a hit
// repeated on a later result page is visited again), each with the record
// the homepage contact extractor makes of it and the hit's address as the
// website. Homepages whose record has no name are not taken in.
#include <string>
#include <vector>

#include "demo/demo_sites.h"

namespace velmora::demo {

struct WebSearchRecord {
    RecordSlot record;
    int resultPage = 0;  // the result page that linked the homepage
};

// `gbkKeyword` as the search start builds it; `provinceCode` six digits, or
// empty / "000000" for none.
std::vector<WebSearchRecord> webSearchRecords(const std::string& gbkKeyword,
                                              const std::string& provinceCode,
                                              const DemoOptions& options,
                                              const std::string& address);

// Result pages of that search.
int webSearchPageCount(const std::string& gbkKeyword, const std::string& provinceCode,
                       const DemoOptions& options);

// The decoded "word" value of the first result page for a search.
std::string webSearchQuery(const std::string& gbkKeyword, const std::string& gbkProvinceName);

// A homepage path's number, 0 for any other path.
int homepageNumber(std::string_view path);

}  // namespace velmora::demo
