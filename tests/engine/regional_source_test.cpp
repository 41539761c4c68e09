#include "sources/regional/regional_source.h"

#include <gtest/gtest.h>

#include "sources/framework/paging.h"
#include "sources/framework/worker_step.h"
#include "support/test_support.h"

namespace velmora {
namespace {

using testing::g;

const std::string kBase = "http://dir.example";

std::string row(const std::string& label, const std::string& value) {
    return "<tr>\r\n<td class=\"l\">" + g(label) + "</td>\r\n<td>" + value + "</td>\r\n</tr>\r\n";
}

// Parses a page as a detail step would: page check, then the parser.
RecordSlot parseDetail(std::string page) {
    RegionalSource source(kBase);
    WorkForm form;
    EXPECT_TRUE(
        parseFetchedPage(source, form, WorkKey::parse("7[0]1{0}"), page, discardingIntake()));
    return form.slot;
}

TEST(RegionalListingRequest, AreaKeysDependOnTheProvinceCode) {
    RegionalSource source(kBase);
    WorkForm form;
    form.province = "110000";
    form.keyword = g("手机+配件");
    form.nextPage = 1;
    auto request = source.listingRequest("http://d/main/corp/queryr.asp", WorkKey{}, form);
    EXPECT_EQ(request.url, "http://d/main/corp/queryr.asp?&area1=110000&area2=110000&corpname=" +
                               g("手机+配件") + "&page=1");
    EXPECT_EQ(form.nextPage, 2);  // raised as soon as the query is built

    form.province = "000000";
    form.keyword = "";
    request = source.listingRequest("u", WorkKey{}, form);
    EXPECT_EQ(request.url, "u?&area2=000000&corpname=&page=2");
    EXPECT_EQ(request.method, ListingRequest::Method::Get);
}

TEST(RegionalListing, CollectsDetailLinksAndPaging) {
    RegionalSource source(kBase);
    WorkForm form;
    form.knownPages = 1;
    std::string page =
        "<table><tr><td><A HREF=\"detail.asp?corpid=101\">Co A</a></td></tr>"
        "<tr><td><a href=\"detail.asp?corpid=102\">Co B</a></td></tr></table>"
        "<a href=\"queryr.asp?page=2\">" +
        g("下一页") + "</a>";
    ASSERT_TRUE(
        parseFetchedPage(source, form, WorkKey::parse("7[0]0{0}"), page, discardingIntake()));
    EXPECT_EQ(form.detailCount, 2);
    EXPECT_EQ(form.knownPages, 2);
    EXPECT_EQ(form.detail.row(1),
              (WorkRow{"N", kBase + "/main/corp/detail.asp?corpid=101", "7[0]1{0}"}));
    EXPECT_EQ(form.detail.row(2),
              (WorkRow{"N", kBase + "/main/corp/detail.asp?corpid=102", "7[0]2{0}"}));
}

TEST(RegionalListing, WithoutNextPageKnownPagesBecomesZero) {
    RegionalSource source(kBase);
    WorkForm form;
    form.knownPages = 3;
    std::string page = "<p>" + g("没有下一页") + "</p>";  // the bare text is not the link marker
    parseFetchedPage(source, form, WorkKey::parse("7[4]0{0}"), page, discardingIntake());
    EXPECT_EQ(form.knownPages, 0);
    EXPECT_EQ(form.detailCount, 0);
}

TEST(RegionalListing, ALinkWithoutItsClosingRunsToTheLastByteButOne) {
    RegionalSource source(kBase);
    WorkForm form;
    std::string page = "<a href=\"detail.asp?corpid=77xy";
    parseFetchedPage(source, form, WorkKey::parse("7[5]0{0}"), page, discardingIntake());
    ASSERT_EQ(form.detailCount, 1);
    EXPECT_EQ(form.detail.row(1).url, kBase + "/main/corp/detail.asp?corpid=77x");
    EXPECT_EQ(form.detail.row(1).key, "7[5]1{0}");
}

TEST(RegionalDetail, CutsEveryFieldAndComposesTheProfile) {
    std::string page =
        "<html><body><table>" + row("单位名称：", "<b>" + g("杭州远景贸易有限公司") + "</b>") +
        row("固定电话：", "0571-88886666") + row("传真号码：", "0571-88886667") +
        row("法人代表：", g("王明")) + row("单位地址：", g("浙江省杭州市西湖区文三路 88 号")) +
        row("邮政编码：", "310012") + row("电子邮件：", "Sales@YJ-Trade.com") +
        row("单位网址：", "<a href=\"http://www.yj.com\">WWW.YJ.COM</a>") +
        row("雇员人数：", "120") + row("产品服务：", g("手机配件")) +
        row("单位描述：", g("专业生产。")) + "</table></body></html>";
    RecordSlot slot = parseDetail(page);
    EXPECT_EQ(slot[Field::Name], g("杭州远景贸易有限公司"));
    EXPECT_EQ(slot[Field::Phone], "0571-88886666");
    EXPECT_EQ(slot[Field::Fax], "0571-88886667");
    EXPECT_EQ(slot[Field::Contact], "");
    EXPECT_EQ(slot[Field::Manager], g("王明"));
    EXPECT_EQ(slot[Field::Address], g("浙江省杭州市西湖区文三路 88 号"));
    EXPECT_EQ(slot[Field::Postcode], "310012");
    EXPECT_EQ(slot[Field::Email], "sales@yj-trade.com");  // the page was lower-cased
    EXPECT_EQ(slot[Field::Website], "www.yj.com");
    EXPECT_EQ(slot[Field::Profile], g("公司现有职工120人，主要经营手机配件。专业生产。"));
}

// Single fields cut from small pages: the page, the field and its value.
TEST(RegionalDetail, FieldsOfSmallPages) {
    const struct {
        const char* what;
        std::string page;
        Field field;
        std::string value;
    } cases[] = {
        {"profile pieces only when present", row("单位名称：", "x") + row("产品服务：", g("阀门")),
         Field::Profile, g("主要经营阀门。")},
        {"no profile piece", row("单位名称：", "x"), Field::Profile, ""},
        {"short fax is emptied", row("传真号码：", "123"), Field::Fax, ""},
        {"five bytes of fax stay", row("传真号码：", "12345"), Field::Fax, "12345"},
        {"missing label", row("单位名称：", "x") + row("邮政编码：", "310000"), Field::Phone, ""},
        {"label present", row("单位名称：", "x") + row("邮政编码：", "310000"), Field::Postcode,
         "310000"},
        {"a missing row end takes the rest of the page",
         row("单位名称：", "x") + "<tr><td>" + g("单位地址：") + "</td><td> Road 9 </td>",
         Field::Address, "road 9"},
        {"an angle bracket pair loses text to the next bracket", row("单位名称：", "a<>b>c"),
         Field::Name, "ac"},
        // The scan examines the byte behind the label's first following byte, so
        // a "</tr>" right behind the label is not seen and the next row's end is used.
        {"an empty value directly before the row end",
         g("单位名称：") + "</tr><tr><td>next</td></tr>", Field::Name, "next"},
    };
    for (const auto& c : cases) EXPECT_EQ(parseDetail(c.page)[c.field], c.value) << c.what;
}

TEST(RegionalDetail, NotFoundPagesAreNotParsed) {
    RegionalSource source(kBase);
    WorkForm form;
    std::string page = row("单位名称：", "x") + g("对不起，未找到该企业");
    EXPECT_FALSE(
        parseFetchedPage(source, form, WorkKey::parse("7[0]1{0}"), page, discardingIntake()));
    EXPECT_TRUE(form.slot.empty());
}

TEST(Markers, NoMarkerHoldsAnUpperCaseByteThatTheLoweredPageCannotHave) {
    // The markers one after the other: no byte of any is an upper-case letter.
    std::string markers =
        g("单位名称：|固定电话：|传真号码：|法人代表：|单位地址：|邮政编码：|电子邮件：|单位网址：|"
          "雇员人数：|产品服务：|单位描述：|>下一页<|>联系方式<|电&nbsp;&nbsp;&nbsp;&nbsp;话|"
          "传&nbsp;&nbsp;&nbsp;&nbsp;真|地&nbsp;&nbsp;&nbsp;&nbsp;址|邮&nbsp;&nbsp;&nbsp;&nbsp;编|"
          "公司主页：|无法找到|未找到|找不到");
    for (char c : markers) EXPECT_FALSE(c >= 'A' && c <= 'Z') << gbk::toUtf8(markers);
}

}  // namespace
}  // namespace velmora
