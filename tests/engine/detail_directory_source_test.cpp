#include "sources/detaildirectory/detail_directory_source.h"

#include <gtest/gtest.h>

#include <random>

#include "sources/detaildirectory/detail_cleaning.h"
#include "sources/framework/worker_step.h"
#include "support/test_support.h"

namespace velmora {
namespace {

using testing::g;

// One labelled row of the directory's contact table.
std::string row(const std::string& label, const std::string& value) {
    return "<tr>\n  <td class=\"l\">" + g(label) + "</td>\n  <td>" + value + "</td>\n</tr>\n";
}

// Parses a page as a detail step would: page check, then the parser.
RecordSlot parseDetail(std::string page) {
    DetailDirectorySource source("http://dir.example/qiye/search.php");
    WorkForm form;
    EXPECT_TRUE(
        parseFetchedPage(source, form, WorkKey::parse("4[0]1{0}"), page, discardingIntake()));
    return form.slot;
}

WorkForm parseListing(std::string page, int knownPages = 1, const char* key = "4[0]0{0}") {
    DetailDirectorySource source("http://dir.example/qiye/search.php");
    WorkForm form;
    form.knownPages = knownPages;
    parseFetchedPage(source, form, WorkKey::parse(key), page, discardingIntake());
    return form;
}

std::string detailsLink(const std::string& url) {
    return "<a href=" + url + " class=\"more\" target=_blank>" + g("详细资料") + "</a>";
}

TEST(DetailDirectoryListingRequest, PostsKeyProvinceAndPageFromZero) {
    DetailDirectorySource source("http://d/qiye/search.php");
    WorkForm form;
    form.keyword = g("手机+配件");
    form.province = g("浙江");
    form.nextPage = 1;
    auto request = source.listingRequest("http://d/qiye/search.php", WorkKey{}, form);
    EXPECT_EQ(request.method, ListingRequest::Method::Post);
    EXPECT_EQ(request.url, "http://d/qiye/search.php");
    EXPECT_EQ(request.fields,
              (text::FormFields{{"key", g("手机+配件")}, {"province", g("浙江")}, {"page", "0"}}));
    EXPECT_EQ(form.nextPage, 2);  // raised as soon as the fields are built
    request = source.listingRequest("u", WorkKey{}, form);
    EXPECT_EQ(request.fields.back(), (std::pair<std::string, std::string>{"page", "1"}));
    EXPECT_EQ(text::formBody(request.fields),
              "key=%CA%D6%BB%FA%2B%C5%E4%BC%FE&province=%D5%E3%BD%AD&page=1");
}

TEST(DetailDirectoryListing, CutsUnquotedLinksBeforeClassAndNumbersTheRows) {
    std::string page = "<table><tr><td>" + detailsLink("http://d/show.php?id=11") +
                       "</td></tr>\n<tr><td>" + detailsLink("http://d/show.php?id=12") +
                       "</td></tr></table>";
    WorkForm form = parseListing(page, 1, "4[3]0{0}");
    ASSERT_EQ(form.detailCount, 2);
    EXPECT_EQ(form.detail.row(1), (WorkRow{"N", "http://d/show.php?id=11", "4[3]1{0}"}));
    EXPECT_EQ(form.detail.row(2), (WorkRow{"N", "http://d/show.php?id=12", "4[3]2{0}"}));
}

TEST(DetailDirectoryListing, ClampsWithoutLinkStartOrClass) {
    // No "<a href=": the link starts 8 bytes behind the anchor text itself.
    WorkForm form = parseListing("xx>" + g("详细资料") + "<tail and more class=z");
    ASSERT_EQ(form.detailCount, 1);
    EXPECT_EQ(form.detail.row(1).url, g("料").substr(1) + "<tail and more");
    // No "class=": the url runs to the last byte but one.
    form = parseListing("<a href=http://d/x?id=5>" + g("详细资料") + "</a>!");
    ASSERT_EQ(form.detailCount, 1);
    EXPECT_EQ(form.detail.row(1).url, "http://d/x?id=5>" + g("详细资料") + "</a");
}

TEST(DetailDirectoryListing, MoreThanFortyOneLinksAllBecomeRows) {
    std::string page;
    for (int i = 1; i <= 50; ++i) page += detailsLink("http://d/s?id=" + std::to_string(i)) + "\n";
    WorkForm form = parseListing(page);
    ASSERT_EQ(form.detailCount, 50);
    EXPECT_EQ(form.detail.row(50).url, "http://d/s?id=50");
    EXPECT_EQ(form.detail.row(50).key, "4[0]50{0}");
}

TEST(DetailDirectoryListing, NextPageNumberCountsOnlyOutsideComments) {
    std::string pager = "<a href=\"javascript:go(1)\">2</a>";
    EXPECT_EQ(parseListing(pager).knownPages, 2);
    EXPECT_EQ(parseListing("<!-- " + pager + " -->").knownPages, 0);
    EXPECT_EQ(parseListing("<a>3</a>", 2).knownPages, 3);
    EXPECT_EQ(parseListing("<a>3</a>", 1).knownPages, 0);
    // A comment never closed runs through the byte behind "<!-" only.
    EXPECT_EQ(parseListing("<!-x>2<").knownPages, 2);
}

TEST(DetailDirectoryListing, CommentRemovalFollowsTheSitesScan) {
    using detaildirectory::withoutComments;
    EXPECT_EQ(withoutComments("a<!-- b -->c"), "a>c");
    // The "->" search starts on the second byte behind "<!-", so "<!-->"
    // does not close itself.
    EXPECT_EQ(withoutComments("a<!-->b-->c"), "a>c");
    EXPECT_EQ(withoutComments("a<!--->b"), "a>b");
    EXPECT_EQ(withoutComments("a<!-xy"), "ay");
    EXPECT_EQ(withoutComments("a<!-"), "a");
    // An opening that forms where a deletion joins the text is taken out too.
    EXPECT_EQ(withoutComments("<<!-x!-yz"), "z");
    EXPECT_EQ(withoutComments("<!<!-x-"), "");
    EXPECT_EQ(withoutComments("<!<!-x-->-k->m"), "<!>-k->m");
}

TEST(DetailDirectoryListing, CommentRemovalMatchesTheRepeatedDeletion) {
    // The site's rule spelled out: find the first "<!-", delete, start again.
    auto reference = [](std::string s) {
        for (size_t p; (p = s.find("<!-")) != std::string::npos;) {
            size_t close = s.size() >= p + 5 ? s.find("->", p + 4) : std::string::npos;
            size_t last = close != std::string::npos ? close : p + 3;
            s.erase(p, std::min(last + 1, s.size()) - p);
        }
        return s;
    };
    std::mt19937 rng(7);
    const std::string alphabet = "<!->ab";
    for (int round = 0; round < 20000; ++round) {
        std::string s;
        for (int n = rng() % 16; n > 0; --n) s.push_back(alphabet[rng() % alphabet.size()]);
        ASSERT_EQ(detaildirectory::withoutComments(s), reference(s)) << s;
    }
}

TEST(DetailDirectoryCleaning, RepeatedDeletionInOnePass) {
    using detaildirectory::removeEvery;
    EXPECT_EQ(removeEvery("a&nb&nbsp;sp;b", "&nbsp;"), "ab");
    EXPECT_EQ(removeEvery("<b<br>r>x<br>", "<br>"), "x");
    std::mt19937 rng(3);
    for (int round = 0; round < 5000; ++round) {
        std::string s;
        for (int n = rng() % 20; n > 0; --n) s.push_back("&nbsp;x"[rng() % 7]);
        std::string naive = s;
        for (size_t p; (p = naive.find("&nbsp;")) != std::string::npos;) naive.erase(p, 6);
        ASSERT_EQ(removeEvery(s, "&nbsp;"), naive) << s;
    }
}

TEST(DetailDirectoryCleaning, MarkerSearchesAndTagRemoval) {
    using detaildirectory::findLastMarker;
    using detaildirectory::findMarker;
    EXPECT_EQ(findMarker("<a><!---x", "<!---"), 4);
    EXPECT_EQ(findMarker("<a><!---x", "<a>", 2), 0);
    EXPECT_EQ(findLastMarker("aaaa", "aa"), 3);
    EXPECT_EQ(findLastMarker(g("电话电话x"), g("电话")), 5);
    EXPECT_EQ(findLastMarker("ab", "abc"), 0);
    EXPECT_EQ(text::findLast("aaaa", "aa"), 3);
    // Lone "<" go alone, however many; a later tag still closes.
    EXPECT_EQ(text::removeTags("a<b<c<"), "abc");
    EXPECT_EQ(text::removeTags("<x>y<z<w>v"), "yv");
}

TEST(DetailDirectoryCleaning, ColonStripTakesTheFirstColonOfEitherKind) {
    using detaildirectory::colonStrip;
    EXPECT_EQ(colonStrip(g("联系人：张经理（手机:13957112345）")), g("张经理（手机:13957112345）"));
    EXPECT_EQ(colonStrip(g("a:b：c")), g("b：c"));
    EXPECT_EQ(colonStrip("none"), "none");
}

TEST(DetailDirectoryCleaning, CharacterWalk) {
    using detaildirectory::firstLeadFrom;
    using detaildirectory::lastLeadBefore;
    // Bytes: "a", then three lead-valued pairs, then "b".
    std::string t = "a" + g("手机号") + "b";
    EXPECT_EQ(firstLeadFrom(t, 1), 2);
    EXPECT_EQ(firstLeadFrom(t, 3), 4);  // 3 is a trail byte
    EXPECT_EQ(firstLeadFrom(t, 8), 0);
    EXPECT_EQ(lastLeadBefore(t, 8), 6);
    EXPECT_EQ(lastLeadBefore(t, 6), 4);
    EXPECT_EQ(lastLeadBefore(t, 7), 6);  // the character may reach behind the limit
    EXPECT_EQ(lastLeadBefore("ab", 3), 0);
}

// A detail page as the directory writes it: the contact table, then the
// company introduction.
std::string fullPage() {
    return "<html><head><title>x</title></head><body>\n<table class=\"contact\">\n" +
           row("联系人：", g("张先生") + "<br>\n" + g("手机：13957112345")) +
           row("联系电话：", "0571-88886666 / 88886667") + row("传真：", "(0571)88886668") +
           row("法人代表：", g("王 明")) + row("省市区:", g("浙江省 杭州市")) +
           row("公司地址：", g("西湖区文三路 88 号")) + row("邮政编码：", "310 012") +
           row("电子邮件：", "<a href=\"mailto:Sales@YJ-Trade.com\">Sales@YJ-Trade.com</a>") +
           row("公司网址：", "<a href=http://www.YJ.com target=_blank>www.yj.com</a>") +
           "</table>\n<div class=\"t\">" + g("杭州远景贸易有限公司") + "</div>\n<table><tr><td>" +
           g("<!---公司介绍开始--->本公司成立于1998年。") + "<br>\n&nbsp;&nbsp;" +
           g("欢迎 来电。") + "</td></tr></table>\n</body></html>";
}

TEST(DetailDirectoryDetail, CutsEveryFieldOfAFullPage) {
    RecordSlot slot = parseDetail(fullPage());
    EXPECT_EQ(slot[Field::Name], g("杭州远景贸易有限公司"));
    EXPECT_EQ(slot[Field::Contact], g("张先生"));
    EXPECT_EQ(slot[Field::Phone], "0571 88886666 88886667");
    EXPECT_EQ(slot[Field::Fax], " 0571 88886668");  // text starting with "(" gives a leading space
    EXPECT_EQ(slot[Field::Manager], g("王明"));
    EXPECT_EQ(slot[Field::Address], g("浙江省杭州市西湖区文三路88号"));
    EXPECT_EQ(slot[Field::Postcode], "310012");
    EXPECT_EQ(slot[Field::Email], "sales@yj-trade.com");
    EXPECT_EQ(slot[Field::Website], "http://www.yj.com");
    EXPECT_EQ(slot[Field::Profile], g("本公司成立于1998年。\n欢迎来电。......"));
}

TEST(DetailDirectoryName, ThreeRules) {
    // intro.html: the first double-byte text behind "<body".
    std::string intro = "<html><body bgcolor=#fff>\n<h1> ABC " + g("华鑫有限公司") +
                        " </h1><a href=intro.html>x</a>" + g("<!---公司介绍开始--->简介") + "</tr>";
    RecordSlot slot = parseDetail(intro);
    EXPECT_EQ(slot[Field::Name], g("华鑫有限公司"));
    EXPECT_EQ(slot[Field::Profile], g("简介......"));  // the profile still comes
    // Company introduction: the text in front of the marker, back to ">".
    EXPECT_EQ(
        parseDetail("<td><b>ABC" + g("华鑫") + "</b>\n" + g("<!---公司介绍开始--->"))[Field::Name],
        "abc" + g("华鑫"));
    EXPECT_EQ(parseDetail("xy" + g("<!---公司介绍开始--->"))[Field::Name], "");
    // Enterprise introduction: the name may start right behind the marker.
    EXPECT_EQ(parseDetail(g("<td><!---企业介绍开始--->华鑫有限公司</td>"))[Field::Name],
              g("华鑫有限公司"));
    EXPECT_EQ(parseDetail(g("<!---企业介绍开始---> <b>华鑫 </b>"))[Field::Name], g("华鑫"));
    EXPECT_EQ(parseDetail(g("<!---企业介绍开始--->华鑫"))[Field::Name], "");  // no "<" follows
    EXPECT_EQ(parseDetail("<p>" + g("无名"))[Field::Name], "");
}

TEST(DetailDirectoryContact, CleaningSteps) {
    EXPECT_EQ(parseDetail(row("联系人：", " Mr.&nbsp;Wang Jun "))[Field::Contact], "mr.wangjun");
    EXPECT_EQ(parseDetail(row("联系人", g("：张经理（手机:13957112345）")))[Field::Contact],
              g("张经理（手机:13957112345）"));
    EXPECT_EQ(parseDetail(g("联系人:李四\n王五"))[Field::Contact], g("李四"));  // page end
}

TEST(DetailDirectoryPhoneAndFax, DigitGroupsOfTheLastLabel) {
    std::string page = row("电话说明", "x") + row("电话：", "0577-8877 6655") + row("传真：", "-");
    RecordSlot slot = parseDetail(page);
    EXPECT_EQ(slot[Field::Phone], "0577 8877 6655");
    EXPECT_EQ(slot[Field::Fax], "");
    // Line breaks count only on pages of the intro.html kind.
    std::string twoLines = g("电话：") + "0571-1234567<br>\n13957112345</tr>";
    EXPECT_EQ(parseDetail(twoLines)[Field::Phone], "0571 1234567 13957112345");
    EXPECT_EQ(parseDetail("intro.html" + twoLines)[Field::Phone], "0571 1234567");
}

TEST(DetailDirectoryAddress, RegionInFrontOnlyWithAnAddress) {
    EXPECT_EQ(parseDetail(row("省市区:", g("广东省 深圳市")))[Field::Address], "");
    EXPECT_EQ(parseDetail(row("地址：", g("南山区\r\n科技路 1 号")))[Field::Address],
              g("南山区科技路1号"));
    EXPECT_EQ(parseDetail(row("法人代表：", g("<b>赵 六</b>")))[Field::Manager], g("赵六"));
}

TEST(DetailDirectoryEmail, RunBehindMailto) {
    EXPECT_EQ(parseDetail("<a href='mailto:a.b-c_d@x.cn'>")[Field::Email], "a.b-c_d@x.cn");
    EXPECT_EQ(parseDetail("mailto:\"x@y.cn\"")[Field::Email], "\"x@y.cn");  // first byte as it is
    EXPECT_EQ(parseDetail("mailto:")[Field::Email], "");
    EXPECT_EQ(parseDetail("mailto:tail@end.cn")[Field::Email], "tail@end.cn");
    EXPECT_EQ(parseDetail("x@y.cn")[Field::Email], "");
}

TEST(DetailDirectoryWebsite, HrefWithinTwoHundredBytesAddressBytesOnly) {
    auto site = [](const std::string& value) {
        return parseDetail(row("公司网址：", value))[Field::Website];
    };
    EXPECT_EQ(site("<a href=http://www.a-b.com/ target=_blank>"), "http://www.a-b.com/");
    EXPECT_EQ(site("<a href=\"http://www.a.com\">"), "");
    EXPECT_EQ(site("<a href=http://blog.sina.com.cn/abc>"), "");
    // 14 bytes lie between the label and the value of a row.
    const std::string fill(178, ' ');
    EXPECT_EQ(site(fill + "<a href=http://a.cn>"), "http://a.cn");  // ends on byte 200
    EXPECT_EQ(site(fill + " <a href=http://a.cn>"), "");
    EXPECT_EQ(parseDetail(g("公司网址") + "href=http://end.cn")[Field::Website], "http://end.cn");
}

TEST(DetailDirectoryProfile, CutAtTwoHundredNinetyBytesAndDotted) {
    auto profile = [](const std::string& text) {
        return parseDetail(g("<!---公司介绍开始--->") + text + "</tr>")[Field::Profile];
    };
    std::string chinese;
    for (int i = 0; i < 500; ++i) chinese += g("业");
    // Byte 290 is a trail byte: 290 bytes are kept.
    EXPECT_EQ(profile(chinese), chinese.substr(0, 290) + "......");
    // Byte 290 is a lead byte: 289 are kept, so no character is split.
    std::string shifted = g("业") + "a" + chinese;
    EXPECT_EQ(profile(shifted), shifted.substr(0, 289) + "......");
    EXPECT_EQ(profile(g("短") + std::string(98, 'x')), g("短") + std::string(98, 'x') + "......");
    EXPECT_EQ(profile(g("甲&nb&nbsp;sp;乙 丙")), g("甲乙丙......"));
    EXPECT_EQ(parseDetail(g("<!---公司介绍开始--->没有行尾"))[Field::Profile], "......");
}

}  // namespace
}  // namespace velmora
