// Pages in other charsets than GBK: what a page declares, and what reaches
// the page check.
#include "sources/framework/page_charset.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace velmora::text {
namespace {

using velmora::testing::g;

TEST(PageCharset, TheHeaderComesFirstThenAMetaTagNearTheTop) {
    struct Case {
        std::string contentType, page, charset;
    };
    const std::string metaUtf8 =
        "<html><head><META http-equiv=\"Content-Type\" "
        "content=\"text/html; Charset=UTF-8\"></head>";
    const Case cases[] = {
        {"text/html; charset=UTF-8", "", "utf-8"},
        {"text/html;charset=\"big5\"", "", "big5"},
        {"text/html; charset=gbk", metaUtf8, "gbk"},  // the header wins
        {"text/html", metaUtf8, "utf-8"},
        {"", "<meta charset='utf-8'>", "utf-8"},
        {"", "<meta name=\"x\" content=\"y\"><meta charset = gb2312 >", "gb2312"},
        {"", "<html>no declaration</html>", ""},
        {"", std::string(kCharsetWindow, ' ') + "<meta charset=utf-8>", ""},  // too far down
        {"", "<p>charset=utf-8</p>", ""},                                     // not in a meta tag
    };
    for (const Case& c : cases)
        EXPECT_EQ(declaredCharset(c.contentType, c.page), c.charset) << c.contentType << c.page;
}

TEST(PageCharset, GbkDeclaredOrUndeclaredPagesPassByteForByte) {
    // A page that a conversion would change: GBK text and a stray byte.
    const std::string page = g("<meta charset=gb2312>联系电话：") + "\x81\xFF";
    for (const char* type : {"", "text/html", "text/html; charset=GBK", "text/html; charset=gb2312",
                             "text/html; charset=GB18030", "text/html; charset=us-ascii"}) {
        std::string copy = page;
        EXPECT_FALSE(convertPageToGbk(copy, type)) << type;
        EXPECT_EQ(copy, page) << type;
    }
    std::string unknown = page;
    EXPECT_FALSE(convertPageToGbk(unknown, "text/html; charset=no-such-charset"));
    EXPECT_EQ(unknown, page);
}

TEST(PageCharset, OtherCharsetsBecomeGbkWithQuestionMarksForTheRest) {
    // "联系电话：" and a character GBK lacks (U+1F600), in UTF-8, with a byte-order mark.
    std::string utf8 =
        "\xEF\xBB\xBF<p>\xE8\x81\x94\xE7\xB3\xBB\xE7\x94\xB5\xE8\xAF\x9D\xEF\xBC\x9A"
        "\xF0\x9F\x98\x80|\xFF</p>";
    EXPECT_TRUE(convertPageToGbk(utf8, "text/html; charset=utf-8"));
    EXPECT_EQ(utf8, g("<p>联系电话：?|?</p>"));
    // Big5 "電話" (phone) becomes the GBK bytes of the same characters.
    std::string big5 = "<meta charset=big5>\xB9\x71\xB8\xDC";
    EXPECT_TRUE(convertPageToGbk(big5, ""));
    EXPECT_EQ(big5, "<meta charset=big5>" + g("電話"));
    // Latin-1 "café".
    std::string latin = "caf\xE9";
    EXPECT_TRUE(convertPageToGbk(latin, "text/html; charset=iso-8859-1"));
    EXPECT_EQ(latin, g("café"));
}

}  // namespace
}  // namespace velmora::text
