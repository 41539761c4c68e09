#pragma once
// Keyword searches of the demo web search ("/baidu?word=KEYWORD[+PROVINCE]
// [&pn=N]"): result pages laid out like the search engine's of its time, a
// pager of unquoted relative links (">[2]<" …, ">下一页") and hits written as
// <p class=f><a … href="URL" target=_blank>, each linking a demo homepage.
// The e-mail lookup's queries ('"' + name + '"+mail') are answered elsewhere.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "demo/page_damage.h"

namespace velmora::demo {

// True when the raw (still escaped) "word" value is the e-mail lookup's query.
bool isMailQuery(std::string_view rawWord);

// The homepages a query finds, in result order, each once: `limit` of the
// `homepages` numbered 1..homepages, in an order that depends on the query
// (the decoded "word" value) and the seed. An empty query finds nothing.
std::vector<int> foundHomepages(std::string_view query, std::uint32_t seed, int limit,
                                int homepages);

// Result pages for `found` hits with `pageSize` hits a page.
int resultPageCount(std::size_t found, int pageSize);

// The hits result page `page` shows, in order: its share of `found`, the
// first of them once more at the page's end, and on every page but the first
// the last hit of the page before at the top (a hit repeated across pages).
std::vector<int> hitsShown(const std::vector<int>& found, int page, int pageSize);

// The homepages a harvester visits, in order, with the result page that
// links them: each page's hits with the repeats inside a page taken once.
struct HomepageVisit {
    int page = 0;
    int homepage = 0;
};
std::vector<HomepageVisit> visitOrder(const std::vector<int>& found, int pageSize);

// Address of demo homepage n.
std::string homepageLink(const std::string& address, int n);

// Result page `page` (from 1) of a query (the decoded "word" value, escaped
// again with lower-case hex in the pager links).
std::string keywordResultPage(std::string_view query, const std::vector<int>& found, int page,
                              int pageSize, const std::string& address, std::size_t targetBytes,
                              PageDamage damage);

// Result page number of a "pn" value (hits skipped), 1 when absent or bad.
int resultPageOf(std::string_view pn, int pageSize);

}  // namespace velmora::demo
