#include "sources/websearch/web_search_source.h"

#include <gtest/gtest.h>

#include "sources/framework/worker_step.h"
#include "support/test_support.h"

namespace velmora {
namespace {

using testing::g;

const std::string kBase = "http://www.search.example";

// A pager as the search engine writes it: the current page in plain text,
// the others as unquoted relative links, then the next-page link.
std::string pager(int current, int first, int last) {
    std::string out = "<div class=\"p\">";
    for (int n = first; n <= last; ++n) {
        if (n == current)
            out += "<font color=#000000>[" + std::to_string(n) + "]</font> ";
        else
            out += "<a href=baidu?word=%CA%D6%BB%FA&pn=" + std::to_string((n - 1) * 10) + ">[" +
                   std::to_string(n) + "]</a> ";
    }
    out += "<a href=baidu?word=%CA%D6%BB%FA&pn=" + std::to_string(current * 10) + ">" +
           g("下一页") + "&gt;</a></div>";
    return out;
}

std::string hit(const std::string& url, const std::string& title) {
    return "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\"><tr><td class=f>\r\n"
           "<p class=\"t\"><a onmousedown=\"return c({'fm':'as'})\" href=\"" +
           url + "\" target=_blank><font size=\"3\">" + g(title) +
           "</font></a></p>\r\n<font size=-1>" + g("专业生产手机配件……") + "<br>\r\n" +
           "<font color=#008000>" + url.substr(7) + "</font></font></td></tr></table><br>\r\n";
}

std::string resultPage(const std::string& hits, const std::string& pagerHtml) {
    return "<html><head><title>" + g("百度搜索_手机") +
           "</title></head><body>\r\n<FORM name=f action=/s><input name=wd></FORM>\r\n" + hits +
           "<br clear=all>\r\n" + pagerHtml + "\r\n</body></html>\r\n";
}

// A listing step's page check and parser, as the worker runs them.
void parseListing(std::string page, WorkForm& form, const std::string& key) {
    WebSearchSource source(kBase);
    ASSERT_TRUE(parseFetchedPage(source, form, WorkKey::parse(key), page, discardingIntake()));
}

std::string pageUrl(int n) {
    return kBase + "/baidu?word=%ca%d6%bb%fa&pn=" + std::to_string((n - 1) * 10);
}

TEST(WebSearchStart, KeywordAndProvinceEscapedBehindTheSearchPath) {
    struct Case {
        std::string keyword, province, url;
    } cases[] = {
        {g("手机"), "", "http://s/baidu?word=%CA%D6%BB%FA"},
        {g("手机"), g("浙江"), "http://s/baidu?word=%CA%D6%BB%FA+%D5%E3%BD%AD"},
        {"", g("浙江"), "http://s/baidu?word=%D5%E3%BD%AD"},
        {"led+lamp", "", "http://s/baidu?word=led%2Blamp"},  // the keyword's own "+" escaped
        {"", "", "http://s/baidu?word="},
    };
    for (const Case& c : cases)
        EXPECT_EQ(webSearchStartUrl("http://s", c.keyword, c.province), c.url) << c.url;
}

TEST(WebSearchPager, FirstPageAddsEveryPageItShowsThenTheSecondOnlyTheNewOne) {
    WorkForm form;
    form.knownPages = 1;
    form.listing.write(1, "Y", kBase + "/baidu?word=%CA%D6%BB%FA", "1[0]0{0}");
    parseListing(resultPage("", pager(1, 1, 10)), form, "1[0]0{0}");  // index 0 reads as page 1
    ASSERT_EQ(form.knownPages, 10);
    for (int n = 2; n <= 10; ++n)
        EXPECT_EQ(form.listing.row(n),
                  (WorkRow{"N", pageUrl(n), "1[" + std::to_string(n) + "]0{0}"}))
            << n;

    parseListing(resultPage("", pager(2, 1, 11)), form, "1[2]0{0}");
    ASSERT_EQ(form.knownPages, 11);
    EXPECT_EQ(form.listing.row(11), (WorkRow{"N", pageUrl(11), "1[11]0{0}"}));
    EXPECT_EQ(form.listing.row(12), WorkRow{});
}

TEST(WebSearchPager, NothingWithoutTheNextPageLinkOrTheFollowingPageBeforeIt) {
    struct Case {
        const char* what;
        std::string page;
        std::string key;
    } cases[] = {
        {"no next-page link", resultPage("", "<a href=b?pn=10>[2]</a>"), "1[0]0{0}"},
        {"last page: only earlier pages linked", resultPage("", pager(5, 1, 5)), "1[5]0{0}"},
        {"no href before the link text", "<b>[2]</b><a>" + g("下一页") + "</a>", "1[1]0{0}"},
    };
    for (const Case& c : cases) {
        WorkForm form;
        form.knownPages = 1;
        parseListing(c.page, form, c.key);
        EXPECT_EQ(form.knownPages, 1) << c.what;
        EXPECT_EQ(form.listing.row(2), WorkRow{}) << c.what;
    }
}

TEST(WebSearchPager, LinksBehindTheNextPageLinkAndGapsEndTheWalk) {
    WorkForm form;
    form.knownPages = 1;
    // Page 4 is missing from the pager, so pages 5 and 6 are not reached.
    std::string page =
        "<a href=p2>[2]</a> <a href=p3>[3]</a> <a href=p5>[5]</a> <a href=p6>[6]</a>"
        "<a href=p2>" +
        g("下一页") + "</a> <a href=p7>[4]</a>";
    parseListing(page, form, "1[1]0{0}");
    EXPECT_EQ(form.knownPages, 3);
    EXPECT_EQ(form.listing.row(2).url, kBase + "/p2");
    EXPECT_EQ(form.listing.row(3).url, kBase + "/p3");
}

TEST(WebSearchHits, OneDetailRowPerAddressInPageOrder) {
    std::string hits = hit("http://www.hzyj.com/", "杭州远景") +
                       hit("http://www.nbdf.cn/index.htm", "宁波东方") +
                       hit("http://www.hzyj.com/", "杭州远景 联系我们") +  // the same address again
                       hit("http://www.wzhx.com.cn/", "温州华兴");
    WorkForm form;
    form.knownPages = 3;
    parseListing(resultPage(hits, pager(3, 1, 3)), form, "1[3]0{0}");
    ASSERT_EQ(form.detailCount, 3);
    EXPECT_EQ(form.detail.row(1), (WorkRow{"N", "http://www.hzyj.com/", "1[3]1{0}"}));
    EXPECT_EQ(form.detail.row(2), (WorkRow{"N", "http://www.nbdf.cn/index.htm", "1[3]2{0}"}));
    EXPECT_EQ(form.detail.row(3), (WorkRow{"N", "http://www.wzhx.com.cn/", "1[3]3{0}"}));
    EXPECT_EQ(form.detail.row(4), WorkRow{});
    EXPECT_EQ(form.knownPages, 3);
}

TEST(WebSearchHits, AddressesWithoutTheirEndMarkerAreNotAdded) {
    struct Case {
        const char* what;
        std::string page;
        std::vector<std::string> urls;
    } cases[] = {
        // The working page loses its last byte for every hit, so an end
        // marker that closes the page is no longer whole.
        {"end marker at the page end", "<p class=t><a href=\"http://a.cn/\" target=_blank", {}},
        {"no href", "<p class=t>no link here</p>", {}},
        {"upper-case markup",
         "<P CLASS=T><A HREF=\"HTTP://A.CN/\" TARGET=_BLANK>a</A>x",
         {"http://a.cn/"}},
    };
    for (const Case& c : cases) {
        WorkForm form;
        parseListing(c.page, form, "1[0]0{0}");
        ASSERT_EQ(form.detailCount, static_cast<int>(c.urls.size())) << c.what;
        for (size_t i = 0; i < c.urls.size(); ++i)
            EXPECT_EQ(form.detail.row(static_cast<int>(i) + 1).url, c.urls[i]) << c.what;
    }
}

TEST(WebSearchGuard, StepsOnlyForTheSlotsWebsite) {
    struct Case {
        std::string website, url, key;
        bool allowed;
    } cases[] = {
        {"", "http://s/baidu?word=x", "1[0]0{0}", true},
        {"http://a.cn/", "http://a.cn/", "1[0]1{0}", true},
        {"http://a.cn/", "http://b.cn/", "1[0]1{0}", false},
        {"", "http://a.cn/", "1[0]+1{0}", false},
        {"http://a.cn/", "http://a.cn/x", "1[0]+1{0}", true},
        {"http://a.cn/", "http://b.cn/", "1[0]+1{0}", false},
    };
    WebSearchSource source(kBase);
    for (const Case& c : cases) {
        WorkForm form;
        form.slot[Field::Website] = c.website;
        EXPECT_EQ(source.allowsRequest(c.url, c.key, form), c.allowed) << c.website << " " << c.url;
    }
}

}  // namespace
}  // namespace velmora
