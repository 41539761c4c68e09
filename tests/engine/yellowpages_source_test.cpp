#include "sources/yellowpages/yellowpages_source.h"

#include <gtest/gtest.h>

#include "sources/framework/text_scan.h"
#include "sources/framework/worker_step.h"
#include "support/intake_recorder.h"
#include "support/test_support.h"

namespace velmora {
namespace {

using testing::g;
using testing::IntakeRecorder;

const std::string kBase = "http://yp.example/yp";

// One company block as the directory writes it; `tail` goes between the
// address and the block's end (the postcode line).
std::string block(const std::string& name, const std::string& phone, const std::string& address,
                  const std::string& tail) {
    return "<div class=\"item\">\r\n<h3><a class=\"m_funitname\" href=\"show.aspx?id=7\">" + name +
           "</a></h3>\r\n<p>" + g("电话：") + "<span class=\"m_ftelphone\">" + phone +
           "</span></p>\r\n<p>" + g("地址：") + "<span class=\"m_faddress\">" + address +
           "</span></p>\r\n" + tail + "</div>\r\n";
}

CompanyPage results(std::string page) {
    text::lowerAsciiInPlace(page);
    return parseYellowPagesResults(page);
}

std::string postcodeOf(const std::string& tail) {
    CompanyPage page = results(block("n", "p", "a", tail));
    return page.companies.at(0)[Field::Postcode];
}

TEST(YellowPagesRequest, CategorySearchAndResultPages) {
    YellowPagesSource source(kBase);
    WorkForm form;
    form.province = g("浙江");
    form.keyword = g("手机+配件");
    form.resultPage = 2;
    auto request =
        source.listingRequest("http://yp.example/search.aspx", WorkKey::parse("6[0]0{0}"), form);
    EXPECT_EQ(request.method, ListingRequest::Method::Get);
    EXPECT_EQ(request.url,
              "http://yp.example/search.aspx?&area=" + g("浙江") + "&keyword=" + g("手机+配件"));
    request = source.listingRequest(kBase + "/categorycontent.aspx?area=x&id=3&",
                                    WorkKey::parse("6[3]0{0}"), form);
    EXPECT_EQ(request.url, kBase + "/categorycontent.aspx?area=x&id=3&npage=2");
    EXPECT_EQ(form.resultPage, 2);  // raised only by the result parser
}

TEST(YellowPagesCategories, OneRowPerLinkWithPlainAmpersands) {
    YellowPagesSource source(kBase);
    WorkForm form;
    std::string page =
        "<ul><li><a href=\"CategoryContent.aspx?keyword=%ca%d6&amp;area=%d5%e3&amp;cid=12&amp;"
        "categoryname=%b5%e7\">" +
        g("电子") +
        "</a></li>\r\n<li><a href=\"categorycontent.aspx?keyword=k&area=z&amp;amp;"
        "cid=5&categoryname=x\">x</a></li></ul>";
    ASSERT_TRUE(
        parseFetchedPage(source, form, WorkKey::parse("6[0]0{0}"), page, discardingIntake()));
    EXPECT_EQ(form.detailCount, 2);
    EXPECT_EQ(form.detail.row(1),
              (WorkRow{"N", kBase + "/categorycontent.aspx?area=%d5%e3&cid=12&", "6[1]0{0}"}));
    EXPECT_EQ(form.detail.row(2),
              (WorkRow{"N", kBase + "/categorycontent.aspx?area=z&cid=5&", "6[2]0{0}"}));

    // A page without a category link leaves the count as it was.
    std::string none = g("<p>没有找到相关类别</p>");
    form.detailCount = 7;
    parseFetchedPage(source, form, WorkKey::parse("6[0]0{0}"), none, discardingIntake());
    EXPECT_EQ(form.detailCount, 7);
}

TEST(YellowPagesCategories, AmpEntitiesCollapseLikeRepeatedDeletion) {
    EXPECT_EQ(collapseAmpEntities("a&amp;b&c&amp;amp;d&amp"), "a&b&c&d&amp");
    EXPECT_EQ(collapseAmpEntities("&&amp;;amp;"), "&&;amp;");
}

TEST(YellowPagesResults, FieldsAsTheyStandBetweenTheMarkers) {
    CompanyPage page = results(
        block(g(" 华鑫 <b>ABC</b>"), "0571-88881234 ", g("杭州市"), g("<p>邮编：310012</p>")) +
        block("", "1", "2", ""));
    ASSERT_EQ(page.companies.size(), 2u);
    EXPECT_FALSE(page.nextPage);
    const RecordSlot& c = page.companies[0];
    EXPECT_EQ(c[Field::Name], g(" 华鑫 <b>abc"));  // up to the first "</", no tag removal
    EXPECT_EQ(c[Field::Phone], "0571-88881234 ");
    EXPECT_EQ(c[Field::Address], g("杭州市"));
    EXPECT_EQ(c[Field::Postcode], "310012");
    EXPECT_EQ(page.companies[1][Field::Name], "");
}

TEST(YellowPagesResults, PostcodeForms) {
    EXPECT_EQ(postcodeOf(g("<p>邮编：310012</p>")), "310012");   // full-width colon
    EXPECT_EQ(postcodeOf(g("<p>邮编:310012</p>")), "310012");    // ASCII colon
    EXPECT_EQ(postcodeOf(g("<p>邮编 (310012)</p>")), "310012");  // the first digit on
    EXPECT_EQ(postcodeOf(g("<p>邮编：31001</p>")), "31001<");    // five digits and the "<"
    EXPECT_EQ(postcodeOf(g("<p>邮编：暂无</p>")), "");
    EXPECT_EQ(postcodeOf(g("<p>邮编</p><p>310012</p>")), "");  // the text ends at its "</"
    EXPECT_EQ(postcodeOf(g("<p>邮政编码：310012</p>")), "");   // no "邮编"
    EXPECT_EQ(postcodeOf(""), "");
}

TEST(YellowPagesResults, AMissingMarkerTakesTheNextBlocksCut) {
    // No phone marker: the phone is the next block's.
    std::string noPhone = "<a class=\"m_funitname\">A</a><span class=\"m_faddress\">X</span>";
    CompanyPage page = results(noPhone + block("B", "2", "Y", ""));
    ASSERT_EQ(page.companies.size(), 2u);
    EXPECT_EQ(page.companies[0][Field::Phone], "2");
    EXPECT_EQ(page.companies[0][Field::Address], "x");
    EXPECT_EQ(page.companies[1][Field::Phone], "2");

    // No address marker: the address is the next block's, and the page is
    // kept from behind it, so that block is passed over.
    std::string noAddress = "<a class=\"m_funitname\">A</a><span class=\"m_ftelphone\">1</span>";
    page = results(noAddress + block("B", "2", "Y", "") + block("C", "3", "Z", ""));
    ASSERT_EQ(page.companies.size(), 2u);
    EXPECT_EQ(page.companies[0][Field::Name], "a");
    EXPECT_EQ(page.companies[0][Field::Phone], "1");
    EXPECT_EQ(page.companies[0][Field::Address], "y");
    EXPECT_EQ(page.companies[1][Field::Name], "c");
}

TEST(YellowPagesResults, NoBlockIsReadTwice) {
    // Behind the last address a note stands in front of a block without
    // phone and address markers: the cuts take the note, which ends before
    // the block's name marker. Keeping the page from there would read the
    // block again; it is kept from behind the marker instead.
    std::string page =
        block("A", "1", "X", "") + "<p class=\"note\">note</p>" + "<a class=\"m_funitname\">B</a>";
    CompanyPage got = results(page);
    ASSERT_EQ(got.companies.size(), 2u);
    EXPECT_EQ(got.companies[1][Field::Name], "b");
    EXPECT_EQ(got.companies[1][Field::Phone], "note");
    EXPECT_EQ(got.companies[1][Field::Address], "note");

    // Many such blocks: each is read once, and the loop ends.
    std::string many;
    for (int i = 0; i < 1000; ++i) many += "<i class=\"t\">n</i><b class=\"m_funitname\">";
    EXPECT_EQ(results(many).companies.size(), 1000u);
}

TEST(YellowPagesListing, PagingTakesTheCategoryAgain) {
    YellowPagesSource source(kBase);
    WorkForm form;
    IntakeRecorder intake;
    form.nextDetailRow = 3;  // category 2 in hand
    std::string page = block(g("甲"), "1", "a", g("邮编:100000<")) + "<script>pager('" +
                       g("下一页") + "');</script>";
    ASSERT_TRUE(parseFetchedPage(source, form, WorkKey::parse("6[2]0{0}"), page, intake));
    EXPECT_EQ(form.resultPage, 1);
    EXPECT_EQ(form.nextDetailRow, 2);
    ASSERT_EQ(intake.taken().size(), 1u);
    RecordSlot want;
    want[Field::Name] = g("甲");
    want[Field::Phone] = "1";
    want[Field::Address] = "a";
    want[Field::Postcode] = "100000";
    want[Field::Email] = "info@" + g("甲");
    EXPECT_EQ(intake.taken()[0], want);

    // The category's last page: no "下一页", so the next category starts at 0.
    std::string last = block(g("乙"), "2", "b", "");
    parseFetchedPage(source, form, WorkKey::parse("6[2]0{0}"), last, intake);
    EXPECT_EQ(form.resultPage, 0);
    EXPECT_EQ(form.nextDetailRow, 2);
    EXPECT_EQ(intake.taken().size(), 2u);

    // A failed result page also starts the next category at its first page.
    form.resultPage = 4;
    source.listingStepFailed(form);
    EXPECT_EQ(form.resultPage, 0);
}

TEST(YellowPagesListing, ARepeatedPageOfTheSameCategoryIsSpent) {
    YellowPagesSource source(kBase);
    WorkForm form;
    IntakeRecorder intake;
    std::string next = "<a>" + g("下一页") + "</a>";
    std::string p0 = block(g("甲"), "1", "a", "") + next, p1 = p0, p2 = p0;
    parseFetchedPage(source, form, WorkKey::parse("6[1]0{0}"), p0, intake);
    EXPECT_FALSE(form.lastPageSpent);
    parseFetchedPage(source, form, WorkKey::parse("6[1]0{0}"), p1, intake);
    EXPECT_TRUE(form.lastPageSpent);  // page 1 repeats page 0
    EXPECT_EQ(intake.taken().size(), 1u);

    // The first page of the next category is compared with nothing.
    form.lastPageSpent = false;
    form.resultPage = 0;
    parseFetchedPage(source, form, WorkKey::parse("6[2]0{0}"), p2, intake);
    EXPECT_FALSE(form.lastPageSpent);
    EXPECT_EQ(intake.taken().size(), 2u);
}

TEST(YellowPagesListing, NotFoundTextsDoNotStopTheStep) {
    YellowPagesSource source(kBase);
    WorkForm form;
    IntakeRecorder intake;
    std::string page = g("<p>未找到更多企业</p>") + block(g("甲"), "1", "a", "");
    EXPECT_TRUE(parseFetchedPage(source, form, WorkKey::parse("6[1]0{0}"), page, intake));
    EXPECT_EQ(intake.taken().size(), 1u);
}

}  // namespace
}  // namespace velmora
