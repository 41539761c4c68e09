#pragma once
// The demo sites: the regional company directory, the marketplace's company
// search and the web search of the e-mail lookup, served in-process on
// 127.0.0.1 with GBK pages laid out like the real sites' and carrying exactly
// the markers the harvester reads. The data is deterministic (keyword,
// province, seed), so a test knows every record a correct harvest yields;
// fault switches make chosen requests misbehave.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "demo/fault.h"
#include "demo/flakiness.h"
#include "platform/site_config.h"
#include "sources/framework/record_slot.h"

namespace velmora::demo {

// How the directories' pagers end (sources 3 and 7). Real pagers often keep a disabled
// "下一页" on their last page, and sites answer a page beyond the end with an
// empty page or with their last page again.
enum class PagerEnd {
    Plain,        // no next-page mark on the last page
    EmptyBeyond,  // a disabled mark on the last page; pages beyond it are empty
    LastAgain,    // a disabled mark on the last page; pages beyond it repeat it
};

struct DemoOptions {
    int companies = 60;  // per keyword and province, and per source
    int pageSize = 10;   // companies per result page
    std::uint32_t seed = 1;
    std::vector<Fault> faults;
    PagerEnd pagerEnd = PagerEnd::Plain;     // result pages of sources 3 and 7
    int port = 0;                            // 0: an ephemeral port
    int latencyMs = 0;                       // every answer waits this long (network latency)
    std::size_t pageBytes = 24 * 1024;       // listing and detail pages are padded to about this
    std::size_t hugeBytes = 10u << 20;       // Fault::HugeNoMarkers
    std::size_t oversizedBytes = 20u << 20;  // Fault::Oversized
    Flakiness flaky;                         // transient failures of urls' first answers
    // Sites served in UTF-8 instead of GBK, by source number (1: the web search
    // with its hit pages and homepages).
    std::vector<int> utf8Sites;
    // Compress answers for clients that accept gzip. Off by default: on a
    // loopback harvest the compression costs more than it saves.
    bool gzip = false;
};

// One request as the sites saw it arrive.
struct RequestRecord {
    std::chrono::steady_clock::time_point arrived;
    std::string method;
    std::string target;
    std::string body;  // of a POST
};

// The ten record fields of a company (GBK) as the list gets them.
using DemoCompany = RecordSlot;

class DemoSites {
  public:
    // Starts serving at once; throws std::runtime_error when the port cannot be bound.
    explicit DemoSites(DemoOptions options = {});
    // stop(), then returns.
    ~DemoSites();
    DemoSites(const DemoSites&) = delete;
    DemoSites& operator=(const DemoSites&) = delete;

    int port() const;
    std::string address() const;  // "http://127.0.0.1:PORT"

    // regional, alibaba, websearch and portal set to address(); scriptDirectory,
    // detailDirectory and yellowPages to their search endpoints (address() +
    // "/search/company.asp", "/qiye/search.php", "/yp/search.aspx") and
    // yellowPagesBase to address() + "/yp"; every other address empty.
    SiteConfig siteConfig() const;

    // The companies of a source (2 to 7) for a search, in listing order, with
    // exactly the fields a correct harvester produces (with the e-mail lookup
    // on for sources 4, 5, 6 and 7; for source 6 with the same-name filter off, so
    // a company listed in several categories comes once per category).
    // `gbkKeyword` is the keyword as the search start
    // prepares it (trimmed, first space as "+"); `provinceCode` six digits,
    // or empty / "000000" for all of China.
    //
    // Faults that damage a detail page's bytes (InvalidGbk, TruncatedDoubleByte)
    // are reflected, since the page still yields a record. Faults that make a
    // request fail or return no page (Hang, Status500, Garbage, ...) are not:
    // which companies a harvester then loses is its own affair.
    std::vector<DemoCompany> expected(int source, const std::string& gbkKeyword,
                                      const std::string& provinceCode) const;

    // Result pages of a source (2 to 7) for a search (source 6: of all its
    // categories; neither counts the page beyond the end that a harvest asks
    // for last).
    int pageCount(int source, const std::string& gbkKeyword, const std::string& provinceCode) const;

    // Source 1: the result page that links each record of expected(1, …), in
    // the same order.
    std::vector<int> webSearchResultPages(const std::string& gbkKeyword,
                                          const std::string& provinceCode) const;

    // Requests received so far (any path, counted on arrival).
    long long requestCount() const;
    // Every request received so far, in order of arrival.
    std::vector<RequestRecord> requestLog() const;
    // The most requests that were being answered at one time.
    int mostAtOnce() const;

    // Stops serving: releases hanging requests and returns once the server
    // threads have ended. Idempotent.
    void stop();

    const DemoOptions& options() const;

  private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace velmora::demo
