// The start work item and search inputs a search start gives each source.
#include <gtest/gtest.h>

#include "app/engine/source_starts.h"
#include "support/test_support.h"

namespace velmora {
namespace {

using testing::g;

SiteConfig sites() {
    SiteConfig c;
    c.websearch = "http://w";
    c.alibaba = "http://a";
    c.scriptDirectory = "http://s/search.asp";
    c.detailDirectory = "http://d/search.php";
    c.portal = "http://p";
    c.yellowPages = "http://y/search.aspx";
    c.regional = "http://r";
    return c;
}

TEST(SourceStarts, StartOrderIsSevenTwoThenByNumber) {
    EXPECT_EQ(startOrder({2, 7}), (std::vector<int>{7, 2}));
    EXPECT_EQ(startOrder({6, 1, 7, 3, 3, 9, 0}), (std::vector<int>{7, 1, 3, 6}));
    EXPECT_EQ(startOrder({5, 4, 2}), (std::vector<int>{2, 4, 5}));
}

TEST(SourceStarts, EachSourceGetsItsStartItemAndInputs) {
    struct Case {
        int source;
        std::string keywordBox, provinceBox, url, keyword, province;
        int known, next;
    };
    const std::string zj = g("浙江");
    const std::vector<Case> cases = {
        {1, g(" 手机 配件 "), zj, "http://w/baidu?word=%CA%D6%BB%FA%2B%C5%E4%BC%FE+%D5%E3%BD%AD",
         g("手机+配件"), zj, 1, 1},
        {1, "", zj, "http://w/baidu?word=%D5%E3%BD%AD", "", zj, 1, 1},
        {1, "a b", g("(省份)"), "http://w/baidu?word=a%2Bb", "a+b", "", 1, 1},
        {2, g("手机"), zj, "http://a/company/k-%CA%D6%BB%FA_province-%D5%E3%BD%AD_n-y.html",
         g("手机"), zj, 1, 1},
        {3, g("手机"), zj, "http://s/search.asp", g("手机"), zj, 1, 1},
        {4, g("手机"), g("(省份)"), "http://d/search.php", g("手机"), "", 1, 1},
        {5, g("手机"), zj, "http://p/search?", g("手机"), "330000", 0, 0},
        {5, g("手机"), g("(省份)"), "http://p/search?", g("手机"), "000000", 0, 0},
        {6, g("手机"), zj, "http://y/search.aspx", g("手机"), zj, 1, 1},
        {7, g("手机"), zj, "http://r/main/corp/queryr.asp", g("手机"), "330000", 1, 1},
    };
    for (const Case& c : cases) {
        WorkForm form;
        form.startTaken = true;
        form.resultPage = 4;
        prepareSourceStart(c.source, sites(), makeSearchInputs(c.keywordBox, c.provinceBox),
                           c.provinceBox, form);
        SCOPED_TRACE(c.source);
        EXPECT_EQ(form.listing.row(1).mark, "N");
        EXPECT_EQ(form.listing.row(1).url, c.url);
        EXPECT_EQ(form.listing.row(1).key, std::to_string(c.source) + "[0]0{0}");
        EXPECT_EQ(form.keyword, c.keyword);
        EXPECT_EQ(form.province, c.province);
        EXPECT_EQ(form.knownPages, c.known);
        EXPECT_EQ(form.nextPage, c.next);
        if (c.source == 6) {
            EXPECT_FALSE(form.startTaken);
            EXPECT_EQ(form.resultPage, 0);
        }
    }
}

}  // namespace
}  // namespace velmora
