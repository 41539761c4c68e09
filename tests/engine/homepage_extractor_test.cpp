#include "sources/websearch/homepage_extractor.h"

#include <gtest/gtest.h>

#include "sources/framework/text_scan.h"
#include "sources/websearch/address_field.h"
#include "sources/websearch/page_cleaning.h"
#include "sources/websearch/surname_table.h"
#include "support/test_support.h"

namespace velmora {
namespace {

using testing::g;

// The extractor as the detail step runs it: on the lower-cased page.
RecordSlot extract(const std::string& utf8Page, const std::string& utf8Keyword = "") {
    RecordSlot slot;
    extractHomepage(text::lowerAscii(g(utf8Page)), g(utf8Keyword), slot);
    return slot;
}

struct FieldCase {
    const char* name;
    std::string page;  // UTF-8
    Field field;
    std::string expected;  // UTF-8
    std::string keyword = "";
};

std::ostream& operator<<(std::ostream& os, const FieldCase& c) {
    return os << c.name;
}

std::string longChinese(int characters) {
    std::string s;
    for (int i = 0; i < characters; ++i) s += "产";
    return s;
}

std::vector<FieldCase> statedCases() {
    return {
        // Name.
        {"TitleWithGreeting", "<title>欢迎光临杭州某某机械有限公司，专业生产</title>", Field::Name,
         "杭州某某机械有限公司"},
        {"TitleCompanyAtTheStart",
         "<title>公司首页</title><b>某某科技有限公司</b><p>某某科技有限公司</p>", Field::Name, ""},
        {"KeywordEndsTheTitle", "<title>杭州abc产品</title>", Field::Name, "杭州abc产品",
         "abc产品"},
        {"KeywordWithCapitalsNeverMatches", "<title>杭州ABC产品</title>", Field::Name, "",
         "ABC产品"},
        {"FactoryInTheTitle", "<title>浙江某某塑料厂-首页</title>", Field::Name, "浙江某某塑料厂"},
        {"BodyNameStandsEarlier", "<b>某某科技有限公司</b><p>产品</p><p>某某科技有限公司</p>",
         Field::Name, "某某科技有限公司"},
        {"BodyNameOnlyAtTheFoot", "<b>产品</b><p>某某科技有限公司</p>", Field::Name, ""},
        // Phone and fax.
        {"PhoneBehindLabel", "<td>电话：0571-88888888</td>", Field::Phone, "0571-88888888"},
        {"NumberNearTheStartBeforeTel",
         "<p>88886666</p>" + std::string(200, ' ') + "tel: 0571-12345678", Field::Phone,
         "88886666"},
        {"PhoneLabelWithoutNumberThenNext",
         "电话：" + std::string(320, '-') + "<br>电话：0571-22223333</td>", Field::Phone,
         "0571-22223333"},
        {"FaxBehindThePhone", "电话：0571-88888888 传真：0571-88889999</td>", Field::Fax,
         "0571-88889999"},
        {"FaxBeforeThePhoneIsNotSeen", "传真：0571-11111111<br>电话：0571-22222222", Field::Fax,
         ""},
        {"FaxLatinLabel", "tel:0571-88888888 fax:0571-88880000</td>", Field::Fax, "0571-88880000"},
        // Contact.
        {"TwoContacts", "<td>联系人：张三 李四</td>", Field::Contact, "张三  李四"},
        {"ContactWithTitle", "<td>联系人：王先生</td>", Field::Contact, "王先生"},
        {"ContactNotASurname", "<td>联系人：先生</td>", Field::Contact, ""},
        {"SixRunsKeepFive", "<td>联系人：张三 李四 王五 赵六 钱七 孙八</td>", Field::Contact,
         "张三  李四  王五  赵六  钱七"},
        {"ClosedRunStoredOnce", "<td>联系人：张先生 王</td>", Field::Contact, "张先生"},
        {"ContactBeforeAsciiColon", "<td>联系人：张三 电话:0571-88888888</td>", Field::Contact,
         "张三"},
        // Manager.
        {"ManagerBehindMarkup", "<td>总经理：<b>张三</b></td>", Field::Manager, "张三"},
        {"ManagerNotASurnameGoesOn", "<td>经理：先生</td><td>经理：李四</td>", Field::Manager,
         "李四"},
        {"LongManagerCut", "<td>经理：司马明天小东西</td>", Field::Manager, "司马明天小东..."},
        {"OnlyLegalPersonEntersNoLoop", "<td>法人：张三</td>", Field::Manager, ""},
        // Address.
        {"AddressCutAtSpace", "<td>地址：浙江省杭州市某某路8号 电话</td>", Field::Address,
         "浙江省杭州市某某路8号"},
        {"AddressWithoutPlaceTriesEarlier",
         "<td>地址：杭州市文三路1号</td><td>地址：请来电询问</td>", Field::Address,
         "杭州市文三路1号"},
        {"AddressBeforeAsciiColon", "<td>地址：杭州市文三路90号 电话:0571-88888888</td>",
         Field::Address, "杭州市文三路90号"},
        {"AddressPlaceStraddlingTwoCharacters", "<td>地址：笆小笆小笆小</td>", Field::Address, ""},
        {"AddressSituatedAt",
         "<p>本公司位于浙江省宁波市北仑区</p><td>地 址: 位于 宁波市江东路1号</td>", Field::Address,
         "宁波市江东路1号"},
        // Postcode.
        {"Postcode", "<td>邮编：310000</td>", Field::Postcode, "310000"},
        {"PostcodeTooShort", "<td>邮编：3100</td>", Field::Postcode, ""},
        {"PostcodeWithDash", "<td>邮编：31-0000</td>", Field::Postcode, ""},
        {"PostcodeInTheNextCell", "<tr><td>邮政编码</td><td>315000</td></tr>", Field::Postcode,
         "315000"},
        // E-mail.
        {"EmailInAFileNameFirst", "<img src=logo@2x.html> sales@abc.com", Field::Email, ""},
        {"Email", "e-mail: Sales@HzAbc.com.cn<br>", Field::Email, "sales@hzabc.com.cn"},
        // Profile.
        {"ProfileFromTheAnchor",
         "<td>首页</td><td>某某公司成立于1998年，专业生产阀门。</td><td>联系我们</td>",
         Field::Profile, "某某公司成立于1998年，专业生产阀门。联系我们......"},
        {"ShortProfileStaysWhole", "<p>公司是" + longChinese(172) + "</p>", Field::Profile,
         "公司是" + longChinese(172) + "......"},
        {"LongProfileCutAtACharacter", "<p>公司是" + longChinese(300) + "</p>", Field::Profile,
         "公司是" + longChinese(142) + "......"},
        {"LongProfileCutBeforeAHalfCharacter", "<p>公司是1" + longChinese(300) + "</p>",
         Field::Profile, "公司是1" + longChinese(141) + "......"},
    };
}

class StatedHomepageCase : public ::testing::TestWithParam<FieldCase> {};
TEST_P(StatedHomepageCase, GivesTheField) {
    const FieldCase& c = GetParam();
    RecordSlot slot = extract(c.page, c.keyword);
    EXPECT_EQ(gbk::toUtf8(slot[c.field]), c.expected);
}
INSTANTIATE_TEST_SUITE_P(HomepageExtractor, StatedHomepageCase, ::testing::ValuesIn(statedCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HomepageExtractor, SurnameTableHasSixHundredThirtyCharacters) {
    size_t characters = 0;
    for (std::string_view s : homepage::surnameStrings()) {
        EXPECT_EQ(g(s).size(), 252u);  // 126 double-byte characters
        characters += g(s).size() / 2;
    }
    EXPECT_EQ(characters, 630u);
    EXPECT_TRUE(homepage::startsWithSurname(g("司马")));
    EXPECT_FALSE(homepage::startsWithSurname(g("欧阳")));  // only the traditional 歐
    EXPECT_TRUE(homepage::startsWithSurname(g("聶")));
    EXPECT_FALSE(homepage::startsWithSurname(g("先生")));
    EXPECT_FALSE(homepage::startsWithSurname("a"));
}

TEST(HomepageExtractor, PageCleaningRemovesScriptsAndEntities) {
    EXPECT_EQ(cleanHomepage("a<script>x</script>b"), "ab");
    EXPECT_EQ(cleanHomepage("a<script src=1>b"), "asrc=1>b");      // no end: 8 bytes go
    EXPECT_EQ(cleanHomepage("</script><script>x"), "</script>x");  // end before start
    EXPECT_EQ(cleanHomepage("<scr<script></script>ipt>y</script>z"), "z");
    EXPECT_EQ(cleanHomepage("1&nbsp;2&gt;3&quot;4&middot;5&amp;"), "12345&amp;");
    EXPECT_EQ(cleanHomepage("&nb&nbsp;sp;"), "&nbsp;");  // one pass from the left
}

TEST(HomepageExtractor, FillsOnlyEmptyFieldsAndAlwaysThePostcode) {
    RecordSlot slot;
    slot[Field::Phone] = "given";
    slot[Field::Postcode] = "999999";
    slot[Field::Website] = "http://hit";
    extractHomepage(g("<td>电话：0571-88888888</td><td>邮编：</td>"), "", slot);
    EXPECT_EQ(slot[Field::Phone], "given");
    EXPECT_EQ(slot[Field::Postcode], "");  // label without six digits
    EXPECT_EQ(slot[Field::Website], "http://hit");
    slot[Field::Postcode] = "999999";
    extractHomepage(g("<td>电话</td>"), "", slot);
    EXPECT_EQ(slot[Field::Postcode], "999999");  // no label: left alone
}

TEST(HomepageExtractor, AddressPlaceListAgreesWithTheWalks) {
    // Segments starting on and off the page's character boundaries (a
    // full-width colon found inside two other characters).
    for (const char* page :
         {"<td>地址：杭州市文三路1号</td><td>地址：请来电询问</td>", "<td>地址：笆小笆小笆小</td>",
          "地址\xa3\xba\xa3\xba市 地址 x\xb0\xa3\xba\xca\xd0\xca\xd0区<",
          "地址:\xd0\xca\xd0\xb0街道 地址：黄\xa3路<"}) {
        std::string cleaned = g(page);
        EXPECT_EQ(homepage::findAddress(cleaned, 0), homepage::findAddress(cleaned)) << page;
    }
    EXPECT_EQ(gbk::toUtf8(homepage::findAddress(g("<td>地址：杭州市文三路1号</td>"), 0)),
              "杭州市文三路1号");
}

TEST(HomepageExtractor, CapitalsComeOutInLowerCase) {
    RecordSlot slot = extract(
        "<title>ABC Trading有限公司</title><p>ABC Trading有限公司成立于2001年</p>"
        "mail: INFO@ABC.COM<br>");
    EXPECT_EQ(gbk::toUtf8(slot[Field::Name]), "abc trading有限公司");
    EXPECT_EQ(slot[Field::Email], "info@abc.com");
    EXPECT_EQ(gbk::toUtf8(slot[Field::Profile]),
              "abc trading有限公司成立于2001年mail: info@abc.com......");
}

}  // namespace
}  // namespace velmora
