#include "sources/scriptdirectory/script_directory_source.h"

#include <gtest/gtest.h>

#include <map>

#include "sources/framework/escaping.h"
#include "sources/framework/worker_step.h"
#include "sources/scriptdirectory/profile_text.h"
#include "sources/scriptdirectory/rare_byte_search.h"
#include "support/test_support.h"

namespace velmora {
namespace {

using testing::g;

const std::string kSearch = "http://dir.example/search/company.asp";

std::string join(const std::vector<std::string>& args) {
    std::string out;
    for (size_t i = 0; i < args.size(); ++i) out += (i ? "\",\"" : "") + args[i];
    return out;
}

// `n` arguments "a1", "a2", ... with the named ones replaced.
std::vector<std::string> arguments(int n, const std::map<int, std::string>& values) {
    std::vector<std::string> args;
    for (int i = 1; i <= n; ++i) {
        auto it = values.find(i);
        args.push_back(it != values.end() ? it->second : "a" + std::to_string(i));
    }
    return args;
}

std::string briefCall(const std::vector<std::string>& args) {
    return "<script language=\"javascript\">\r\naddcompanybrief(\"" + join(args) +
           "\");\r\n</script>\r\n";
}

std::string infoCall(const std::vector<std::string>& args) {
    return "<script language=\"javascript\">\r\naddcompanyinfo(\"" + join(args) +
           "\");\r\n</script>\r\n";
}

// A company page as the directory lays it out: the scripts that define the
// calls, the calls, then the introduction box.
std::string detailPage(const std::string& calls, const std::string& introduction = "") {
    return "<html><head><title>" + g("企业资料") +
           "</title>\r\n<script language=\"javascript\">\r\n"
           "function addcompanybrief(id,logo,web,boss){document.write(web);}\r\n"
           "function addcompanyinfo(id,name){document.write(name);}\r\n</script>\r\n"
           "</head><body>\r\n<table width=\"760\"><tr><td>\r\n" +
           calls + "</td></tr></table>\r\n" + introduction + "</body></html>\r\n";
}

RecordSlot parseDetail(std::string page) {
    ScriptDirectorySource source(kSearch);
    WorkForm form;
    EXPECT_TRUE(
        parseFetchedPage(source, form, WorkKey::parse("3[0]1{0}"), page, discardingIntake()));
    return form.slot;
}

WorkForm parseListing(std::string page, int knownPages = 1) {
    ScriptDirectorySource source(kSearch);
    WorkForm form;
    form.knownPages = knownPages;
    parseFetchedPage(source, form, WorkKey::parse("3[0]0{0}"), page, discardingIntake());
    return form;
}

std::string entry(const std::string& href, const std::string& name) {
    return "<tr><td class=\"name\"><a href=" + href + " target=_blank>" + g("【浙江】") + g(name) +
           "</a></td><td>" + g("温州") + "</td></tr>\r\n";
}

// Listing request ------------------------------------------------------------

TEST(ScriptDirectoryListingRequest, PostsProvinceNameKeywordAndPageIndexFromZero) {
    ScriptDirectorySource source(kSearch);
    WorkForm form;
    form.province = g("浙江");
    form.keyword = g("手机+配件");
    form.nextPage = 1;
    ListingRequest request = source.listingRequest(kSearch, WorkKey{}, form);
    EXPECT_EQ(request.method, ListingRequest::Method::Post);
    EXPECT_EQ(request.url, kSearch);
    EXPECT_EQ(request.fields,
              (text::FormFields{
                  {"provinceCN", g("浙江")}, {"key_word", g("手机+配件")}, {"page_index", "0"}}));
    EXPECT_EQ(form.nextPage, 2);  // raised as soon as the fields are built
    EXPECT_EQ(text::formBody(request.fields),
              "provinceCN=%D5%E3%BD%AD&key_word=%CA%D6%BB%FA%2B%C5%E4%BC%FE&page_index=0");

    form.province.clear();
    form.keyword = "abc";
    request = source.listingRequest(kSearch, WorkKey{}, form);
    EXPECT_EQ(text::formBody(request.fields), "provinceCN=&key_word=abc&page_index=1");
    EXPECT_EQ(form.nextPage, 3);
}

// Listing parser -------------------------------------------------------------

TEST(ScriptDirectoryListing, RedirectLinksAreUnwrappedAndDirectLinksKept) {
    std::string page =
        "<table class=\"result\">\r\n" +
        entry(
            "http://dir.example/go.asp?ID=7&URL=http%3A%2F%2Fdir.example%3A8080%2Fcompany%2F"
            "Show%3Fid%3D5.htm&From=Search",
            "华鑫电子有限公司") +
        entry("http://dir.example/company/1002.htm", "宏达五金厂") +
        entry("http://dir.example/r.asp?url=http%3a%2f%2fwww.x.cn%2fa%25b", "金泰") +
        "</table>\r\n<div class=\"pages\"><a href=\"javascript:go(1)\">" + g("下一页") +
        "</a></div>";
    WorkForm form = parseListing(page, 1);
    EXPECT_EQ(form.knownPages, 2);
    ASSERT_EQ(form.detailCount, 3);
    // Only ":" and "/" are decoded; the page was lower-cased first.
    EXPECT_EQ(form.detail.row(1),
              (WorkRow{"N", "http://dir.example:8080/company/show%3fid%3d5.htm", "3[0]1{0}"}));
    EXPECT_EQ(form.detail.row(2),
              (WorkRow{"N", "http://dir.example/company/1002.htm", "3[0]2{0}"}));
    EXPECT_EQ(form.detail.row(3).url, "http://www.x.cn/a%25b");
}

TEST(ScriptDirectoryListing, PagingFollowsTheNextPageMark) {
    // A disabled pager entry still matches the mark.
    EXPECT_EQ(parseListing("<span>" + g("下一页") + "</span>", 3).knownPages, 4);
    WorkForm last = parseListing("<a href=x>" + g("上一页") + "</a> " + g("下一页"), 3);
    EXPECT_EQ(last.knownPages, 0);
    EXPECT_EQ(last.detailCount, 0);
}

TEST(ScriptDirectoryListing, LinkEdgesFollowTheScanClamps) {
    // The byte in front of the one before "target=" is the link's last.
    EXPECT_EQ(
        parseListing("<a href=\"http://d/1.htm\" target=_blank>" + g("【x】")).detail.row(1).url,
        "\"http://d/1.htm\"");
    // Without "target=" the scan ends on the page's last byte.
    EXPECT_EQ(parseListing("<a href=http://d/2.htm>" + g("【x】") + "xyz").detail.row(1).url,
              "http://d/2.htm>" + g("【x】") + "x");
    // Without "<a" in front, the scan stops at 0 and the link starts at byte 8.
    EXPECT_EQ(parseListing("1234567http://d/3.htm target=" + g("【")).detail.row(1).url,
              "http://d/3.htm");
}

TEST(ScriptDirectoryListing, ThePageIsKeptFromFourBytesBehindTheBracket) {
    ScriptDirectorySource source(kSearch);
    WorkForm form;
    std::string page = "<a href=http://d/1 target=_blank>" + g("【ab【") + "</a>";
    parseFetchedPage(source, form, WorkKey::parse("3[4]0{0}"), page, discardingIntake());
    ASSERT_EQ(form.detailCount, 2);
    EXPECT_EQ(form.detail.row(1).url, "http://d/1");
    // The kept page starts at the second bracket: no "<a" and no "target=".
    EXPECT_EQ(form.detail.row(2), (WorkRow{"N", "", "3[4]2{0}"}));
    // A bracket right behind a bracket is passed over with it.
    EXPECT_EQ(parseListing("<a href=x target=y>" + g("【【")).detailCount, 1);
}

// Detail parser: which call, which argument ---------------------------------

TEST(ScriptDirectoryDetail, BriefCallGivesTheFieldsAndInfoCallTheName) {
    auto brief = arguments(20, {{3, "www.huaxin.com"},
                                {4, g("王建华")},
                                {12, g("张先生")},
                                {13, "0577-88776655"},
                                {14, "0577-88776656"},
                                {15, "sales@huaxin.com"},
                                {16, g("浙江省温州市人民路8号")},
                                {18, "325000"}});
    auto info = arguments(28, {{2, g("  温州华鑫电子有限公司 ")}, {4, g("李四")}});
    RecordSlot slot = parseDetail(detailPage(infoCall(info) + briefCall(brief)));
    EXPECT_EQ(slot[Field::Name], g("温州华鑫电子有限公司"));  // trimmed
    EXPECT_EQ(slot[Field::Website], "www.huaxin.com");
    EXPECT_EQ(slot[Field::Manager], g("王建华"));
    EXPECT_EQ(slot[Field::Contact], g("张先生"));  // the brief call's, not the info call's
    EXPECT_EQ(slot[Field::Phone], "0577-88776655");
    EXPECT_EQ(slot[Field::Fax], "0577-88776656");
    EXPECT_EQ(slot[Field::Email], "sales@huaxin.com");
    EXPECT_EQ(slot[Field::Address], g("浙江省温州市人民路8号"));
    EXPECT_EQ(slot[Field::Postcode], "325000");
}

TEST(ScriptDirectoryDetail, ParenthesisedAreaCodeDoesNotEndTheBriefCall) {
    auto brief = arguments(20, {{13, "(0577)88776655"},
                                {14, "(0577)88776656"},
                                {15, "a@b.cn"},
                                {16, g("温州")},
                                {18, "325000"}});
    RecordSlot slot = parseDetail(detailPage(briefCall(brief) + infoCall(arguments(3, {}))));
    EXPECT_EQ(slot[Field::Phone], "(0577)88776655");
    EXPECT_EQ(slot[Field::Fax], "(0577)88776656");
    EXPECT_EQ(slot[Field::Email], "a@b.cn");
    EXPECT_EQ(slot[Field::Address], g("温州"));
    EXPECT_EQ(slot[Field::Postcode], "325000");
    EXPECT_EQ(slot[Field::Name], "a2");
}

TEST(ScriptDirectoryDetail, BriefCallWithoutCloseRunsToThePageEnd) {
    // The page ends inside the call: argument 18 still has its separator.
    std::string page = "addcompanyinfo(\"1\",\"" + g("华鑫") + "\",\"3\");addcompanybrief(\"" +
                       join(arguments(19, {{18, "325000"}}));
    RecordSlot slot = parseDetail(page);
    EXPECT_EQ(slot[Field::Postcode], "325000");
    EXPECT_EQ(slot[Field::Name], g("华鑫"));
    // Fewer arguments than separators needed: the rest is empty, and the
    // text behind the last separator is never an argument.
    slot = parseDetail(briefCall(arguments(13, {})));
    EXPECT_EQ(slot[Field::Contact], "a12");
    EXPECT_EQ(slot[Field::Phone], "");
    EXPECT_EQ(slot[Field::Postcode], "");
}

TEST(ScriptDirectoryDetail, NameRunningToThePageEndKeepsItsLastByte) {
    std::string page = briefCall(arguments(20, {})) + "addcompanyinfo(\"1\",\"abc";
    EXPECT_EQ(parseDetail(page)[Field::Name], "abc");
    // No separator behind the info call at all: no name.
    EXPECT_EQ(parseDetail(briefCall(arguments(20, {})) + "addcompanyinfo(\"1")[Field::Name], "");
}

TEST(ScriptDirectoryDetail, InfoCallAloneIsReadBySkipTakeAndPeek) {
    std::string call = infoCall(arguments(28, {}));
    RecordSlot slot = parseDetail(detailPage(call));
    EXPECT_EQ(slot[Field::Name], "a2");
    EXPECT_EQ(slot[Field::Contact], "a4");
    EXPECT_EQ(slot[Field::Manager], "a5");
    EXPECT_EQ(slot[Field::Phone], "a7");
    EXPECT_EQ(slot[Field::Fax], "a10");
    EXPECT_EQ(slot[Field::Email], "a13");
    EXPECT_EQ(slot[Field::Address], "a16");
    EXPECT_EQ(slot[Field::Postcode], "a22");
    EXPECT_EQ(slot[Field::Website], "a26");
    // The call's text ends at "</script>": a 26th argument closing the call
    // has no separator behind it, so the website is empty.
    EXPECT_EQ(parseDetail(detailPage(infoCall(arguments(26, {}))))[Field::Website], "");
}

TEST(ScriptDirectoryDetail, WithoutEitherCallOnlyTheProfileIsFilled) {
    RecordSlot slot = parseDetail(detailPage(
        "<p>addcompanybrief(1)</p>", "<!--" + g("公司简介") + "-->" + g("专业生产。") + "<"));
    RecordSlot expected;
    expected[Field::Profile] = g("专业生产。");
    EXPECT_EQ(slot, expected);
}

TEST(ScriptDirectoryDetail, ScriptFieldsAreNeitherTrimmedNorUntagged) {
    auto brief = arguments(20, {{4, " <b>Boss</b> "}});
    EXPECT_EQ(parseDetail(briefCall(brief))[Field::Manager], " <b>boss</b> ");
}

// E-mail and website links ----------------------------------------------------

TEST(ScriptDirectoryDetail, MailtoAndWebsiteLinksGiveTheBareAddress) {
    auto brief =
        arguments(20, {{3, "<a href='http://www.HuaXin.com' target='_blank'>www.huaxin.com</a>"},
                       {15, "<a href='mailto:Sales@HuaXin.com'>Sales@HuaXin.com</a>"}});
    RecordSlot slot = parseDetail(briefCall(brief));
    EXPECT_EQ(slot[Field::Website], "http://www.huaxin.com");
    EXPECT_EQ(slot[Field::Email], "sales@huaxin.com");
}

TEST(ScriptDirectoryDetail, LinksAreCutFromBehindHrefToTheQuoteWhereverTheyStart) {
    auto brief = arguments(20, {{3, g("网址：") + "<a href='http://www.hx.cn'>hx</a>"},
                                {15, g("邮箱：") + "<a href='mailto:info@hx.cn'>info</a>"}});
    RecordSlot slot = parseDetail(briefCall(brief));
    EXPECT_EQ(slot[Field::Website], "http://www.hx.cn");
    EXPECT_EQ(slot[Field::Email], "info@hx.cn");
    // A bare href without its tag, one without a closing quote: the address
    // runs to the quote or the argument's end, never shorter.
    brief = arguments(20, {{3, "href='http://www.hx.cn'"}, {15, "href='mailto:x@y.cn"}});
    slot = parseDetail(briefCall(brief));
    EXPECT_EQ(slot[Field::Website], "http://www.hx.cn");
    EXPECT_EQ(slot[Field::Email], "x@y.cn");
}

// Profile ---------------------------------------------------------------------

TEST(ScriptDirectoryProfile, DetailedHeadingKeepsTheClosingMark) {
    std::string intro = "<td class=\"intro\">\r\n  &nbsp;&nbsp;" + g("公司成立于1998年，") +
                        "\r\n" + g("产品远销欧美。") + "</td></tr>\r\n<tr><td align=right>" +
                        "<a href=/intro/1.htm>&gt;&gt;" + g("详细企业介绍") + "</a>";
    EXPECT_EQ(parseDetail(detailPage("", intro))[Field::Profile],
              g("公司成立于1998年，产品远销欧美。"));
}

TEST(ScriptDirectoryProfile, BasicInfoHeadingStartsBehindTheLastBreak) {
    std::string intro = "<div class=box>" + g("企业简介") + "<br>" + g("专业生产阀门！") +
                        "</div>\r\n<div class=title>" + g("公司基本信息") + "</div>";
    EXPECT_EQ(parseDetail(detailPage("", intro))[Field::Profile], g("专业生产阀门！"));
}

TEST(ScriptDirectoryProfile, CommentHeadingRunsToTheNextTagOrThePageEnd) {
    std::string comment = "<!--" + g("公司简介") + "-->";
    EXPECT_EQ(parseDetail(comment + " " + g("生产五金。") + "</p>")[Field::Profile],
              g("生产五金。"));
    EXPECT_EQ(parseDetail("<p>" + comment + g("生产五金"))[Field::Profile], g("生产五金"));
}

TEST(ScriptDirectoryProfile, FirstHeadingInOrderWins) {
    std::string page = "<!--" + g("公司简介") + "-->" + g("甲") + "<br>" + g("乙。") +
                       g("公司基本信息") + "<p>" + g("丙。") + g("详细企业介绍");
    EXPECT_EQ(parseDetail(page)[Field::Profile], g("丙。"));
}

TEST(ScriptDirectoryProfile, CleaningWalksOnceOverThePositions) {
    using scriptdir::cleanProfile;
    EXPECT_EQ(cleanProfile("a<br><br>&nbsp;&nbsp;\r\r\n\nb"), "ab");
    // What moves up behind a later deletion of the same position stays.
    EXPECT_EQ(cleanProfile("a&nbsp;<br>b"), "a<br>b");
    EXPECT_EQ(cleanProfile("a\n\rb"), "a\rb");
    EXPECT_EQ(cleanProfile("&nbsp"), "&nbsp");
}

TEST(ScriptDirectoryProfile, LastChineseCharacterIsFoundByWalkingFromTheStart) {
    using scriptdir::lastChineseBefore;
    // "中" then the opening quote "“" (A1 B0): its trail byte B0 looks like a
    // lead byte to a walk that does not start at the page start.
    std::string page = ">" + g("中“") + "xy" + g("详");
    EXPECT_EQ(lastChineseBefore(page, 8), 2);
    EXPECT_EQ(lastChineseBefore("abc" + g("。"), 6), 6);  // none: the position itself
}

// Marker search ----------------------------------------------------------------

TEST(ScriptDirectorySearch, JumpingByAnyByteFindsWhatAPlainSearchFinds) {
    const std::string page = "aa(b(\"x addcompanyinfo(\"1\" target=x target=";
    for (std::string marker : {"addcompanyinfo(\"", "target=", "(\"", "a", "=", "zz", ""})
        for (size_t pivot = 0; pivot < marker.size() + 1; ++pivot)
            for (text::Pos from : {-3, 0, 1, 2, 5, 10, 36, 42, 43, 44, 60}) {
                SCOPED_TRACE(marker + " pivot " + std::to_string(pivot) + " from " +
                             std::to_string(from));
                EXPECT_EQ(scriptdir::findByByte(page, marker, pivot, from),
                          text::find(page, marker, from));
            }
}

}  // namespace
}  // namespace velmora
