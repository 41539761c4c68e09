// The demo sites, checked with the engine's own HTTP client and parsers: a
// harvest walked page by page must give exactly the records expected(), and
// each fault switch must make its requests misbehave as it says.
#include "demo/demo_sites.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <set>
#include <thread>

#include "platform/gbk.h"
#include "platform/http_client.h"
#include "sources/alibaba/alibaba_source.h"
#include "sources/framework/email_lookup.h"
#include "sources/framework/escaping.h"
#include "sources/framework/paging.h"
#include "sources/framework/text_scan.h"
#include "sources/framework/worker_step.h"
#include "sources/regional/regional_source.h"
#include "support/process.h"
#include "support/test_support.h"

namespace velmora::demo {
namespace {

using velmora::testing::g;

std::unique_ptr<HttpClient> client(std::size_t maxBodyBytes = 16u << 20) {
    HttpOptions options;
    options.maxBodyBytes = maxBodyBytes;
    return makeCurlHttpClient(options);
}

DemoOptions small(int companies = 12, int pageSize = 5) {
    DemoOptions options;
    options.companies = companies;
    options.pageSize = pageSize;
    options.pageBytes = 8 * 1024;
    return options;
}

DemoOptions faulty(int companies, int pageSize, std::vector<Fault> faults) {
    DemoOptions options = small(companies, pageSize);
    options.faults = std::move(faults);
    return options;
}

// What a walk through a source's pages gave.
struct Harvest {
    std::vector<RecordSlot> records;
    std::vector<int> knownPagesAfterListing;
    std::vector<std::string> listingUrls;
    std::vector<std::string> detailUrls;
    int failedDetails = 0;
};

std::string alibabaStartUrl(const DemoSites& sites, const std::string& keyword,
                            const std::string& provinceName) {
    std::string url = sites.address() + "/company/k-" + text::urlByteEscape(keyword);
    if (!provinceName.empty()) url += "_province-" + text::urlByteEscape(provinceName);
    return url + "_n-y.html";
}

// Walks source 7 (regional: keyword and province code) or source 2
// (marketplace: keyword and province name) as the harvester does: listing
// request, page check and listing parser; then each detail page, its parser
// and, on source 7 for a page without an address, the e-mail lookup. A
// detail page that fails is skipped. Source 2's next listing url is the one
// the previous page linked.
Harvest harvest(int number, const DemoSites& sites, HttpClient& http, const std::string& keyword,
                const std::string& province) {
    RegionalSource regional(sites.address());
    AlibabaSource alibaba;
    const Source& source = number == 7 ? static_cast<const Source&>(regional) : alibaba;
    WorkForm form;
    form.keyword = keyword;
    form.province = province;
    form.knownPages = 1;
    form.nextPage = 1;
    Harvest h;
    const WorkKey listingKey = WorkKey::parse(std::to_string(number) + "[0]0{0}");
    std::string url = alibabaStartUrl(sites, keyword, province);
    while (form.knownPages >= form.nextPage && h.listingUrls.size() < 200) {
        if (number == 7)
            url =
                regional.listingRequest(sites.address() + "/main/corp/queryr.asp", listingKey, form)
                    .url;
        h.listingUrls.push_back(url);
        std::string page = http.get(url);
        EXPECT_TRUE(parseFetchedPage(source, form, listingKey, page, discardingIntake()));
        h.knownPagesAfterListing.push_back(form.knownPages);
        for (int r = 1; r <= form.detailCount; ++r) {
            WorkRow row = form.detail.row(r);
            h.detailUrls.push_back(row.url);
            form.slot.clear();
            try {
                std::string detail = http.get(row.url);
                EXPECT_TRUE(parseFetchedPage(source, form, WorkKey::parse(row.key), detail,
                                             discardingIntake()));
            } catch (const HttpError&) {
                ++h.failedDetails;
                continue;
            }
            if (number == 7 && !form.slot[Field::Name].empty() && form.slot[Field::Email].empty())
                lookupEmail(http, sites.address(), form.slot, form.mailHits);
            h.records.push_back(form.slot);
        }
        form.detail.clearDownFrom(form.detailCount);
        if (number == 2) url = form.listing.row(1).url;
    }
    return h;
}

Harvest harvestRegional(const DemoSites& sites, HttpClient& http, const std::string& keyword,
                        const std::string& provinceCode) {
    return harvest(7, sites, http, keyword, provinceCode);
}

Harvest harvestAlibaba(const DemoSites& sites, HttpClient& http, const std::string& keyword,
                       const std::string& provinceName) {
    return harvest(2, sites, http, keyword, provinceName);
}

std::string utf8(const std::string& gbkText) {
    return gbk::toUtf8(gbkText);
}

// Readable failure output for record comparisons.
void expectSameRecord(const RecordSlot& got, const RecordSlot& want, std::size_t index) {
    for (int f = 0; f < kSlotFields; ++f)
        EXPECT_EQ(utf8(got.fields[static_cast<std::size_t>(f)]),
                  utf8(want.fields[static_cast<std::size_t>(f)]))
            << "company " << index + 1 << ", field " << f;
    EXPECT_EQ(got, want) << "company " << index + 1;  // byte for byte
}

void expectSameRecords(const std::vector<RecordSlot>& got, const std::vector<RecordSlot>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) expectSameRecord(got[i], want[i], i);
}

// The detail page url of the regional company with the 1-based index `n`.
std::string regionalDetailUrl(const DemoSites& sites, HttpClient& http, const std::string& keyword,
                              const std::string& code, int n) {
    RegionalSource source(sites.address());
    WorkForm form;
    form.keyword = keyword;
    form.province = code;
    form.knownPages = 1;
    int perPage = sites.options().pageSize;
    form.nextPage = (n - 1) / perPage + 1;
    ListingRequest request = source.listingRequest(sites.address() + "/main/corp/queryr.asp",
                                                   WorkKey::parse("7[0]0{0}"), form);
    std::string page = http.get(request.url);
    parseFetchedPage(source, form, WorkKey::parse("7[0]0{0}"), page, discardingIntake());
    return form.detail.row((n - 1) % perPage + 1).url;
}

std::string alibabaDetailUrl(const DemoSites& sites, HttpClient& http, const std::string& keyword,
                             int n) {
    AlibabaSource source;
    WorkForm form;
    form.knownPages = 1;
    std::string page = http.get(alibabaStartUrl(sites, keyword, ""));
    parseFetchedPage(source, form, WorkKey::parse("2[0]0{0}"), page, discardingIntake());
    return form.detail.row(n).url;
}

// Waits until the server has received `count` requests (the wait itself is
// not what the test checks, so it has no time limit of its own).
void awaitRequests(const DemoSites& sites, long long count) {
    while (sites.requestCount() < count) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// ---------------------------------------------------------------------------
// Full harvests

// A walk through one source's pages gives exactly the records expected, with
// the pager showing the following page number ("下一页" on source 7) exactly
// while a further page exists.
TEST(DemoSitesHarvest, EachWalkYieldsEveryExpectedCompanyExactly) {
    const struct {
        int source, companies, pageSize;
        std::string keyword, province, code;
        std::vector<int> knownPages;  // empty: not checked
        std::string listingUrlPart;   // in the first listing url; empty: not checked
    } cases[] = {
        {7, 23, 5, g("手机"), "330000", "330000", {2, 3, 4, 5, 0}, ""},
        {2, 23, 5, g("手机"), g("浙江"), "330000", {2, 3, 4, 5, 0}, ""},
        // "+" is taken literally by both sites.
        {7, 9, 4, g("手机+配件"), "000000", "000000", {}, ""},
        {2, 9, 4, g("手机+配件"), "", "000000", {}, ""},
        // The first page's address carries "LED_p-3" as the harvester escapes
        // it (capitals and "_" raw); the linked pages come from a lower-cased page.
        {2, 9, 4, "LED_p-3", "", "", {2, 3, 0}, ""},
        {7, 9, 4, "LED_p-3", "000000", "", {}, ""},
        {7, 7, 3, "", "110000", "110000", {}, "?&area1=110000&area2=110000&corpname=&page=1"},
        {2, 7, 3, "", g("北京"), "110000", {}, ""},
        // All of China sends only area2; "其它" on the marketplace is the same search.
        {7, 4, 10, g("阀门"), "000000", "", {0}, "?&area2=000000&corpname="},
        {2, 4, 10, g("阀门"), g("其它"), "000000", {}, ""},
        // No companies: one page without links.
        {7, 0, 5, g("手机"), "000000", "000000", {0}, ""},
        {2, 0, 5, g("手机"), "", "000000", {0}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.source) + " " + utf8(c.keyword) + " " + utf8(c.province));
        DemoSites sites(small(c.companies, c.pageSize));
        auto http = client();
        Harvest h = harvest(c.source, sites, *http, c.keyword, c.province);
        expectSameRecords(h.records, sites.expected(c.source, c.keyword, c.code));
        if (!c.knownPages.empty()) {
            EXPECT_EQ(h.knownPagesAfterListing, c.knownPages);
        }
        ASSERT_FALSE(h.listingUrls.empty());
        if (!c.listingUrlPart.empty()) {
            EXPECT_TRUE(text::contains(h.listingUrls[0], c.listingUrlPart)) << h.listingUrls[0];
        }
        if (c.source == 7 && c.province == "000000") {
            EXPECT_FALSE(text::contains(h.listingUrls[0], "area1"));
        }
        for (size_t i = 0; c.source == 2 && i < h.listingUrls.size(); ++i)
            EXPECT_TRUE(startsWith(h.listingUrls[i], sites.address() + "/company/k-"));
    }
}

// What the walks above rely on in the data.
TEST(DemoSitesData, KeywordsAndProvincesShapeTheCompanies) {
    EXPECT_EQ(DemoSites(small(23, 5)).pageCount(7, g("手机"), "330000"), 5);
    DemoSites sites(small(9, 4));
    // The "+" reached the sites as the byte "+": the keyword is in the names.
    const std::string plus = g("手机+配件");
    int withKeyword = 0;
    for (const RecordSlot& r : sites.expected(7, plus, "000000"))
        withKeyword += text::contains(r[Field::Name], plus) ? 1 : 0;
    EXPECT_GT(withKeyword, 0);
    // A different keyword (a space instead of "+") is a different search.
    EXPECT_NE(sites.expected(7, g("手机 配件"), "")[0][Field::Name],
              sites.expected(7, plus, "")[0][Field::Name]);
    int lowered = 0;
    for (const RecordSlot& r : sites.expected(2, "LED_p-3", ""))
        lowered += text::contains(r[Field::Name], "led_p-3") ? 1 : 0;
    EXPECT_GT(lowered, 0);
    static const std::string kBeijing = g("北京市");
    for (const RecordSlot& r : DemoSites(small(7, 3)).expected(7, "", "110000"))
        EXPECT_TRUE(startsWith(r[Field::Address], kBeijing));
    EXPECT_EQ(sites.expected(2, g("阀门"), "000000"), sites.expected(2, g("阀门"), ""));
}

// ---------------------------------------------------------------------------
// The data

TEST(DemoSitesData, BothSitesShareSomeCompaniesButNotAll) {
    DemoSites sites(small(30, 10));
    std::set<std::string> regional, alibaba;
    for (const RecordSlot& r : sites.expected(7, g("灯具"), "440000"))
        regional.insert(r[Field::Name]);
    for (const RecordSlot& r : sites.expected(2, g("灯具"), "440000"))
        alibaba.insert(r[Field::Name]);
    EXPECT_EQ(regional.size(), 30u);
    EXPECT_EQ(alibaba.size(), 30u);
    int shared = 0;
    for (const std::string& name : regional) shared += alibaba.count(name) != 0 ? 1 : 0;
    EXPECT_EQ(shared, 20);
}

TEST(DemoSitesData, RegionalRecordsShowEveryVariation) {
    DemoSites sites(small(60, 10));
    std::vector<RecordSlot> records = sites.expected(7, g("服装"), "330000");
    const std::string hitPrefix = sites.address() + "/hit/";
    int lookedUpEmail = 0, lookedUpWebsite = 0, noEmail = 0, noFax = 0, noProfile = 0,
        productsOnly = 0, latinName = 0, fullProfile = 0;
    static const std::string kDealsIn = g("主要经营");
    static const std::string kStaff = g("公司现有职工");
    for (const RecordSlot& r : records) {
        EXPECT_TRUE(r[Field::Contact].empty());
        EXPECT_EQ(r[Field::Name], text::lowerAscii(r[Field::Name]));
        if (startsWith(r[Field::Website], hitPrefix)) ++lookedUpWebsite;
        if (r[Field::Email].empty()) ++noEmail;
        if (r[Field::Fax].empty()) ++noFax;
        if (r[Field::Profile].empty()) ++noProfile;
        if (startsWith(r[Field::Profile], kDealsIn)) ++productsOnly;
        if (startsWith(r[Field::Profile], kStaff) && text::contains(r[Field::Profile], kDealsIn))
            ++fullProfile;
        for (char c : r[Field::Name]) {
            if (c >= 'a' && c <= 'z') {
                ++latinName;
                break;
            }
        }
    }
    for (const RecordSlot& r : records)
        if (!r[Field::Email].empty() && startsWith(r[Field::Website], hitPrefix)) ++lookedUpEmail;
    EXPECT_GT(lookedUpWebsite, 0);
    EXPECT_GT(lookedUpEmail, 0);
    EXPECT_GT(noEmail, 0);
    EXPECT_GT(noFax, 0);
    EXPECT_GT(noProfile, 0);
    EXPECT_GT(productsOnly, 0);
    EXPECT_GT(fullProfile, 0);
    EXPECT_GT(latinName, 0);
    EXPECT_LT(noEmail, 30);
}

TEST(DemoSitesData, MarketplaceRecordsShowEveryVariation) {
    DemoSites sites(small(24, 8));
    int noWebsite = 0, website = 0, noFax = 0, noPostcode = 0, twoNumbers = 0;
    for (const RecordSlot& r : sites.expected(2, g("五金"), "")) {
        EXPECT_TRUE(r[Field::Manager].empty());
        EXPECT_TRUE(r[Field::Email].empty());
        EXPECT_TRUE(r[Field::Profile].empty());
        EXPECT_FALSE(r[Field::Contact].empty());
        EXPECT_EQ(r[Field::Phone][0], ' ');  // the digit filter's leading space
        EXPECT_FALSE(text::contains(r[Field::Website], "alibaba"));
        (r[Field::Website].empty() ? noWebsite : website)++;
        if (r[Field::Fax].empty()) ++noFax;
        if (r[Field::Postcode].empty()) ++noPostcode;
        if (std::count(r[Field::Phone].begin(), r[Field::Phone].end(), ' ') == 3) ++twoNumbers;
    }
    EXPECT_GT(noWebsite, 0);
    EXPECT_GT(website, 0);
    EXPECT_GT(noFax, 0);
    EXPECT_GT(noPostcode, 0);
    EXPECT_GT(twoNumbers, 0);
}

TEST(DemoSitesData, SameSeedSameCompaniesOtherSeedOthers) {
    DemoOptions a = small(10, 5), b = small(10, 5), c = small(10, 5);
    c.seed = 2;
    DemoSites first(a), second(b), third(c);
    auto names = [](const std::vector<RecordSlot>& records) {
        std::vector<std::string> out;
        for (const RecordSlot& r : records) out.push_back(r[Field::Name] + r[Field::Phone]);
        return out;
    };
    EXPECT_EQ(names(first.expected(7, g("机械"), "370000")),
              names(second.expected(7, g("机械"), "370000")));
    EXPECT_NE(names(first.expected(7, g("机械"), "370000")),
              names(third.expected(7, g("机械"), "370000")));
    EXPECT_NE(names(first.expected(7, g("机械"), "370000")),
              names(first.expected(7, g("机械"), "320000")));
}

TEST(DemoSitesPages, ArePaddedGbkPagesOfTheChosenSize) {
    DemoOptions options = small(6, 3);
    options.pageBytes = 40 * 1024;
    DemoSites sites(options);
    auto http = client();
    std::string listing = http->get(
        sites.address() + "/main/corp/queryr.asp?&area2=000000&corpname=" + g("手机") + "&page=1");
    EXPECT_GE(listing.size(), 40u * 1024);
    EXPECT_LT(listing.size(), 60u * 1024);
    std::string detail = http->get(regionalDetailUrl(sites, *http, g("手机"), "000000", 1));
    EXPECT_GE(detail.size(), 40u * 1024);
    EXPECT_TRUE(text::contains(detail, "<html>"));
    EXPECT_TRUE(text::contains(detail, "<script"));
    EXPECT_TRUE(text::contains(detail, "<!--"));
    // Nothing on a normal page reads as "not found" to the page check.
    text::lowerAsciiInPlace(detail);
    EXPECT_FALSE(isNotFoundPage(detail));
}

TEST(DemoSitesPages, ContactPagesCarryTheMarketplaceMarkers) {
    DemoSites sites(small(6, 6));
    auto http = client();
    std::set<long> markerCounts;
    int marketplaceLinks = 0;
    for (int n = 1; n <= 6; ++n) {
        std::string page = http->get(alibabaDetailUrl(sites, *http, g("手机"), n));
        EXPECT_TRUE(text::contains(page, "class=\"chinaName\""));  // capitals before lower-casing
        std::string_view rest = page;
        long count = 0;
        for (std::size_t at = 0; (at = rest.find("comy_cont_toclub", at)) != std::string_view::npos;
             ++at)
            ++count;
        markerCounts.insert(count);
        EXPECT_TRUE(text::contains(page, g("电&nbsp;&nbsp;&nbsp;&nbsp;话")));
        EXPECT_TRUE(text::contains(page, g("地&nbsp;&nbsp;&nbsp;&nbsp;址")));
        if (text::contains(page, "Alibaba.com")) ++marketplaceLinks;
    }
    EXPECT_EQ(markerCounts, (std::set<long>{1, 2, 3}));
    EXPECT_GT(marketplaceLinks, 0);
}

TEST(DemoSitesPages, WebSearchHitsAreWhatTheLookupExtracts) {
    DemoSites sites(small(12, 12));
    auto http = client();
    int withHits = 0, withoutHits = 0;
    for (const RecordSlot& r : sites.expected(7, g("电子"), "")) {
        std::string page = http->get(emailSearchUrl(sites.address(), r[Field::Name]));
        text::lowerAsciiInPlace(page);
        std::vector<std::string> hits = extractSearchHits(page);
        if (hits.empty()) {
            ++withoutHits;
            continue;
        }
        ++withHits;
        EXPECT_EQ(hits.size(), 3u);
        for (std::size_t i = 0; i < hits.size(); ++i) {
            EXPECT_TRUE(startsWith(hits[i], sites.address() + "/hit/"));
            EXPECT_TRUE(text::contains(hits[i], "/" + std::to_string(i + 1) + ".html"));
            EXPECT_NO_THROW(http->get(hits[i]));
        }
    }
    EXPECT_GT(withHits, 0);
    EXPECT_GT(withoutHits, 0);
    // A query of another form is a keyword search, whose hits are homepages.
    std::string other = http->get(sites.address() + "/baidu?word=anything");
    for (const std::string& url : extractSearchHits(text::lowerAscii(other)))
        EXPECT_FALSE(text::contains(url, "/hit/")) << url;
}

TEST(DemoSitesPages, UnknownPagesAreErrorsAndEveryRequestCounts) {
    DemoSites sites(small());
    auto http = client();
    EXPECT_EQ(sites.requestCount(), 0);
    EXPECT_THROW(http->get(sites.address() + "/main/corp/detail.asp?corpid=1"), HttpError);
    EXPECT_THROW(http->get(sites.address() + "/athena/contact/5.html"), HttpError);
    EXPECT_THROW(http->get(sites.address() + "/nothing/here"), HttpError);
    EXPECT_THROW(http->get(sites.address() + "/hit/zz/1.html"), HttpError);
    EXPECT_NO_THROW(http->get(sites.address() + "/"));
    EXPECT_EQ(sites.requestCount(), 5);
}

TEST(DemoSites, SiteConfigPointsItsSitesHere) {
    DemoSites sites(small());
    SiteConfig config = sites.siteConfig();
    EXPECT_EQ(config.regional, sites.address());
    EXPECT_EQ(config.alibaba, sites.address());
    EXPECT_EQ(config.websearch, sites.address());
    EXPECT_EQ(config.portal, sites.address());
    EXPECT_EQ(config.yellowPages, sites.address() + "/yp/search.aspx");
    EXPECT_EQ(config.yellowPagesBase, sites.address() + "/yp");
    EXPECT_TRUE(config.probe.empty());
    EXPECT_EQ(sites.address(), "http://127.0.0.1:" + std::to_string(sites.port()));

    velmora::testing::TempDir dir;
    ASSERT_TRUE(config.save(dir.file("sites.ini")));
    SiteConfig loaded = SiteConfig::load(dir.file("sites.ini"));
    EXPECT_EQ(loaded.regional, sites.address());
    EXPECT_EQ(loaded.websearch, sites.address());
}

// ---------------------------------------------------------------------------
// Fault switches

TEST(DemoFaultText, ParsesAndFormats) {
    Fault f;
    std::string error;
    ASSERT_TRUE(parseFault("7:detail:3:hang", f, error)) << error;
    EXPECT_EQ(f.source, 7);
    EXPECT_EQ(f.step, Fault::Detail);
    EXPECT_EQ(f.which, 3);
    EXPECT_EQ(f.kind, Fault::Hang);
    ASSERT_TRUE(parseFault("2:listing:*:500", f, error)) << error;
    EXPECT_EQ(f.which, -1);
    EXPECT_EQ(f.kind, Fault::Status500);
    ASSERT_TRUE(parseFault("0:hit:all:delay:1500", f, error)) << error;
    EXPECT_EQ(f.delayMs, 1500);
    EXPECT_EQ(formatFault(f), "0:hit:*:delay:1500");
    for (const char* text :
         {"2:detail:1:drop", "7:listing:2:redirect", "2:detail:*:oversized", "7:detail:4:garbage",
          "7:detail:1:truncated", "2:detail:1:invalid-gbk", "7:listing:1:huge", "0:search:5:500"}) {
        ASSERT_TRUE(parseFault(text, f, error)) << text << ": " << error;
        EXPECT_EQ(formatFault(f), text);
    }
    for (const char* bad : {"", "7:detail:3", "5:detail:3:hang", "7:search:1:500", "0:detail:1:500",
                            "7:detail:0:hang", "7:detail:x:hang", "7:detail:3:explode",
                            "7:detail:3:delay", "7:detail:3:hang:10", "7:detail:3:delay:-1"}) {
        EXPECT_FALSE(parseFault(bad, f, error)) << bad;
        EXPECT_FALSE(error.empty());
    }
}

TEST(DemoFaults, Status500HitsOnlyTheChosenPage) {
    DemoSites sites(faulty(12, 5, {{7, Fault::Listing, 2, Fault::Status500}}));
    auto http = client();
    std::string base = sites.address() + "/main/corp/queryr.asp?&area2=000000&corpname=x&page=";
    EXPECT_NO_THROW(http->get(base + "1"));
    EXPECT_THROW(http->get(base + "2"), HttpError);
    EXPECT_NO_THROW(http->get(base + "3"));
}

TEST(DemoFaults, AFailingDetailPageCostsOnlyThatCompany) {
    DemoSites sites(faulty(
        10, 5,
        {{7, Fault::Detail, 3, Fault::Status500}, {2, Fault::Detail, 7, Fault::DropMidBody}}));
    auto http = client();

    Harvest regional = harvestRegional(sites, *http, g("手机"), "000000");
    EXPECT_EQ(regional.failedDetails, 1);
    std::vector<RecordSlot> expected = sites.expected(7, g("手机"), "000000");
    expected.erase(expected.begin() + 2);
    expectSameRecords(regional.records, expected);

    Harvest alibaba = harvestAlibaba(sites, *http, g("手机"), "");
    EXPECT_EQ(alibaba.failedDetails, 1);
    expected = sites.expected(2, g("手机"), "000000");
    expected.erase(expected.begin() + 6);
    expectSameRecords(alibaba.records, expected);
}

TEST(DemoFaults, EveryRequestOfAStep) {
    DemoSites sites(faulty(6, 3, {{2, Fault::Detail, -1, Fault::Redirect}}));
    auto http = client();
    Harvest h = harvestAlibaba(sites, *http, g("手机"), "");
    EXPECT_EQ(h.failedDetails, 6);
    EXPECT_TRUE(h.records.empty());
    EXPECT_EQ(h.knownPagesAfterListing, (std::vector<int>{2, 0}));
}

TEST(DemoFaults, HangIsEndedByTheClientsAbort) {
    DemoSites sites(faulty(6, 6, {{7, Fault::Detail, 2, Fault::Hang}}));
    auto http = client();
    std::string url = regionalDetailUrl(sites, *http, g("手机"), "000000", 2);
    EXPECT_NO_THROW(http->get(regionalDetailUrl(sites, *http, g("手机"), "000000", 1)));

    long long before = sites.requestCount();
    std::atomic<bool> failed{false};
    std::thread fetch([&] {
        try {
            http->get(url);
        } catch (const HttpError&) {
            failed = true;
        }
    });
    awaitRequests(sites, before + 1);
    http->abort();
    fetch.join();
    EXPECT_TRUE(failed);
    // The hanging handler is still waiting; the destructor releases it.
}

TEST(DemoFaults, StoppingReleasesAHangingRequest) {
    DemoOptions options = small(6, 6);
    options.faults = {{0, Fault::Search, -1, Fault::Hang}};
    auto sites = std::make_unique<DemoSites>(options);
    auto http = client();
    std::atomic<bool> failed{false};
    std::thread fetch([&] {
        try {
            http->get(emailSearchUrl(sites->address(), g("某公司")));
        } catch (const HttpError&) {
            failed = true;
        }
    });
    awaitRequests(*sites, 1);
    sites->stop();
    fetch.join();
    EXPECT_TRUE(failed);
    sites.reset();
}

TEST(DemoFaults, DelayStillAnswers) {
    DemoSites sites(faulty(4, 4, {{2, Fault::Listing, 1, Fault::Delay, 30}}));
    auto http = client();
    Harvest h = harvestAlibaba(sites, *http, g("手机"), "");
    expectSameRecords(h.records, sites.expected(2, g("手机"), ""));
}

TEST(DemoFaults, OversizedPagesExceedTheClientsCap) {
    DemoOptions options = small(4, 4);
    options.oversizedBytes = 3u << 20;
    options.faults = {{7, Fault::Listing, 1, Fault::Oversized}};
    DemoSites sites(options);
    std::string url = sites.address() + "/main/corp/queryr.asp?&area2=000000&corpname=&page=1";
    auto capped = client(2u << 20);
    EXPECT_THROW(capped->get(url), HttpError);
    auto roomy = client(4u << 20);
    std::string page = roomy->get(url);
    EXPECT_EQ(page.size(), 3u << 20);
    EXPECT_TRUE(text::contains(page, "detail.asp?corpid="));  // a real page, padded
}

TEST(DemoFaults, OversizedDefaultIsLargerThanTheDefaultCap) {
    DemoOptions options = small(4, 4);
    options.faults = {{2, Fault::Detail, 1, Fault::Oversized}};
    DemoSites sites(options);
    EXPECT_GT(options.oversizedBytes, HttpOptions{}.maxBodyBytes);
    auto http = client();
    EXPECT_THROW(http->get(alibabaDetailUrl(sites, *http, g("手机"), 1)), HttpError);
}

TEST(DemoFaults, GarbageParsesToNothing) {
    DemoSites sites(faulty(
        4, 4, {{7, Fault::Listing, 1, Fault::Garbage}, {2, Fault::Detail, -1, Fault::Garbage}}));
    auto http = client();
    Harvest regional = harvestRegional(sites, *http, g("手机"), "000000");
    EXPECT_TRUE(regional.detailUrls.empty());
    EXPECT_EQ(regional.knownPagesAfterListing, std::vector<int>{0});

    Harvest alibaba = harvestAlibaba(sites, *http, g("手机"), "");
    ASSERT_EQ(alibaba.records.size(), 4u);
    for (const RecordSlot& r : alibaba.records) EXPECT_TRUE(r.empty());
    std::string page = http->get(alibaba.detailUrls[0]);
    EXPECT_FALSE(text::contains(page, "<"));
}

TEST(DemoFaults, HugePageWithoutMarkersParsesToNothing) {
    // A chosen size on every marketplace listing; ten mebibytes by default.
    for (int source : {2, 7}) {
        DemoOptions options = small(4, 4);
        if (source == 2) options.hugeBytes = 2u << 20;
        options.faults = {{source, Fault::Listing, source == 2 ? -1 : 1, Fault::HugeNoMarkers}};
        DemoSites sites(options);
        auto http = client();
        Harvest h = harvest(source, sites, *http, g("手机"), source == 2 ? "" : "000000");
        EXPECT_TRUE(h.detailUrls.empty());
        EXPECT_EQ(h.knownPagesAfterListing, std::vector<int>{0});
        EXPECT_GE(http->get(h.listingUrls[0]).size(), source == 2 ? 2u << 20 : 10u << 20);
    }
}

TEST(DemoFaults, TruncatedDetailPageEndsInsideADoubleByteCharacter) {
    DemoSites sites(faulty(6, 6,
                           {{7, Fault::Detail, 2, Fault::TruncatedDoubleByte},
                            {2, Fault::Detail, 3, Fault::TruncatedDoubleByte}}));
    DemoOptions clean = small(6, 6);
    DemoSites cleanSites(clean);
    auto http = client();

    std::string page = http->get(regionalDetailUrl(sites, *http, g("手机"), "000000", 2));
    ASSERT_FALSE(page.empty());
    EXPECT_TRUE(gbk::isLeadByte(static_cast<unsigned char>(page.back())));
    EXPECT_FALSE(text::isTrailByteAt(page, text::length(page)));

    Harvest regional = harvestRegional(sites, *http, g("手机"), "000000");
    std::vector<RecordSlot> expected = sites.expected(7, g("手机"), "000000");
    expectSameRecords(regional.records, expected);
    // The damage reached the record: the profile ends on the lone lead byte.
    const std::string& profile = expected[1][Field::Profile];
    ASSERT_FALSE(profile.empty());
    EXPECT_TRUE(gbk::isLeadByte(static_cast<unsigned char>(profile.back())));
    EXPECT_NE(profile, cleanSites.expected(7, g("手机"), "000000")[1][Field::Profile]);

    Harvest alibaba = harvestAlibaba(sites, *http, g("手机"), "");
    std::vector<RecordSlot> expectedAlibaba = sites.expected(2, g("手机"), "");
    expectSameRecords(alibaba.records, expectedAlibaba);
    EXPECT_TRUE(
        gbk::isLeadByte(static_cast<unsigned char>(expectedAlibaba[2][Field::Address].back())));
    EXPECT_TRUE(expectedAlibaba[2][Field::Postcode].empty());
}

TEST(DemoFaults, TruncatedListingStillListsEveryCompany) {
    DemoSites sites(faulty(8, 4,
                           {{7, Fault::Listing, 1, Fault::TruncatedDoubleByte},
                            {2, Fault::Listing, -1, Fault::TruncatedDoubleByte}}));
    auto http = client();
    Harvest regional = harvestRegional(sites, *http, g("手机"), "000000");
    expectSameRecords(regional.records, sites.expected(7, g("手机"), ""));
    std::string page = http->get(regional.listingUrls[0]);
    EXPECT_TRUE(gbk::isLeadByte(static_cast<unsigned char>(page.back())));
    Harvest alibaba = harvestAlibaba(sites, *http, g("手机"), "");
    expectSameRecords(alibaba.records, sites.expected(2, g("手机"), ""));
}

TEST(DemoFaults, InvalidGbkReachesTheRecord) {
    DemoSites sites(faulty(6, 6,
                           {{7, Fault::Detail, 1, Fault::InvalidGbk},
                            {2, Fault::Detail, 1, Fault::InvalidGbk},
                            {0, Fault::Hit, -1, Fault::InvalidGbk},
                            {7, Fault::Listing, -1, Fault::InvalidGbk}}));
    auto http = client();
    Harvest regional = harvestRegional(sites, *http, g("手机"), "000000");
    std::vector<RecordSlot> expected = sites.expected(7, g("手机"), "");
    expectSameRecords(regional.records, expected);
    EXPECT_TRUE(text::contains(expected[0][Field::Profile], "\xFF"));
    EXPECT_TRUE(text::contains(utf8(expected[0][Field::Profile]), "\xEF\xBF\xBD"));  // U+FFFD
    std::string listing = http->get(regional.listingUrls[0]);
    EXPECT_TRUE(text::contains(listing, "\xFF\xA1\x7F\xFF"));

    Harvest alibaba = harvestAlibaba(sites, *http, g("手机"), "");
    std::vector<RecordSlot> expectedAlibaba = sites.expected(2, g("手机"), "");
    expectSameRecords(alibaba.records, expectedAlibaba);
    EXPECT_TRUE(text::contains(expectedAlibaba[0][Field::Address], "\xFF"));
}

TEST(DemoFaults, FailingWebSearchLeavesTheLookupEmpty) {
    DemoSites sites(faulty(10, 10, {{0, Fault::Search, -1, Fault::Status500}}));
    auto http = client();
    Harvest h = harvestRegional(sites, *http, g("手机"), "000000");
    std::vector<RecordSlot> expected = sites.expected(7, g("手机"), "");
    ASSERT_EQ(h.records.size(), expected.size());
    int lost = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        RecordSlot want = expected[i];
        RecordSlot got = h.records[i];
        // What only a working web search gives: the address, and the first
        // hit as website when the page has none.
        if (startsWith(want[Field::Website], sites.address() + "/hit/"))
            want[Field::Website].clear();
        if (got[Field::Email].empty() && !want[Field::Email].empty()) {
            want[Field::Email].clear();
            ++lost;
        }
        expectSameRecord(got, want, i);
    }
    EXPECT_GT(lost, 0);
}

TEST(DemoFaults, HitFaultsChooseTheCompanyByItsIndex) {
    DemoOptions options = small(30, 30);
    DemoSites probe(options);
    // A company whose address only a web search finds.
    std::vector<RecordSlot> expected = probe.expected(7, g("手机"), "");
    int chosen = 0;
    for (std::size_t i = 0; i < expected.size() && chosen == 0; ++i)
        if (!expected[i][Field::Email].empty() &&
            startsWith(expected[i][Field::Website], probe.address() + "/hit/"))
            chosen = static_cast<int>(i) + 1;
    ASSERT_GT(chosen, 0);

    options.faults = {{0, Fault::Hit, chosen, Fault::Garbage}};
    DemoSites sites(options);
    auto http = client();
    Harvest h = harvestRegional(sites, *http, g("手机"), "000000");
    expected = sites.expected(7, g("手机"), "");
    ASSERT_EQ(h.records.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (static_cast<int>(i) + 1 == chosen) {
            EXPECT_TRUE(h.records[i][Field::Email].empty());
            EXPECT_EQ(h.records[i][Field::Website], expected[i][Field::Website]);
        } else {
            expectSameRecord(h.records[i], expected[i], i);
        }
    }
}

// ---------------------------------------------------------------------------
// The program

#ifdef VELMORA_SITES
TEST(VelmoraSitesProgram, ServesUntilTerminatedAndWritesSitesIni) {
    velmora::testing::TempDir dir;
    velmora::testing::ChildProcess p({VELMORA_SITES, "--port", "0", "--companies", "5",
                                      "--page-size", "5", "--write-sites-ini",
                                      dir.file("sites.ini"), "--fault", "7:detail:2:500"});
    ASSERT_TRUE(p.started());
    std::string out;
    while (p.running() && (out = p.outSoFar()).find('\n') == std::string::npos)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::string line = out.substr(0, out.find('\n'));
    ASSERT_TRUE(startsWith(line, "listening on http://127.0.0.1:")) << line;
    std::string address = line.substr(std::string("listening on ").size());

    SiteConfig config = SiteConfig::load(dir.file("sites.ini"));
    EXPECT_EQ(config.regional, address);
    EXPECT_EQ(config.alibaba, address);
    EXPECT_EQ(config.websearch, address);

    auto http = client();
    std::string listing =
        http->get(address + "/main/corp/queryr.asp?&area2=000000&corpname=&page=1");
    EXPECT_TRUE(text::contains(listing, "detail.asp?corpid="));

    p.kill(SIGTERM);
    EXPECT_EQ(p.wait().exitCode, 0);
}

TEST(VelmoraSitesProgram, RejectsABadFault) {
    EXPECT_EQ(velmora::testing::runProcess({VELMORA_SITES, "--fault", "9:detail:2:500"}).exitCode,
              2);
}
#endif

}  // namespace
}  // namespace velmora::demo
