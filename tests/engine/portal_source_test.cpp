#include "sources/portal/portal_source.h"

#include <gtest/gtest.h>

#include "sources/framework/text_scan.h"
#include "sources/framework/worker_step.h"
#include "support/intake_recorder.h"
#include "support/test_support.h"

namespace velmora {
namespace {

using testing::g;
using testing::IntakeRecorder;

const std::string kTable = "<table cellspacing=0 cellpadding=0 width=168 border=0 align=center>";

// One company table as the portal writes it.
std::string company(const std::string& name, const std::string& address, const std::string& phone) {
    return kTable + "\r\n<tr><td height=20>&#183;" + name + "&#183;" + address + "&#183;" + phone +
           "</td></tr>\r\n</table>\r\n";
}

std::string answerPage(const std::string& body, bool next) {
    return "<html><body><TABLE width=760><tr><td>" + body + "</td></tr></TABLE><div class=pg>" +
           (next ? "<a href=\"javascript:go(2)\">" + g("下一页") + "</a>" : g("末页")) +
           "</div></body></html>";
}

CompanyPage parse(std::string page) {
    text::lowerAsciiInPlace(page);
    return parsePortalAnswer(page);
}

TEST(PortalRequest, PostsTheFourFieldsAndCountsThePageFromZero) {
    PortalSource source;
    WorkForm form;
    form.keyword = g("手机+配件");
    form.province = "330000";
    auto request =
        source.listingRequest("http://portal.example/search?", WorkKey::parse("5[0]0{0}"), form);
    EXPECT_EQ(request.method, ListingRequest::Method::Post);
    EXPECT_EQ(request.url, "http://portal.example/search?");
    EXPECT_EQ(
        request.fields,
        (text::FormFields{
            {"keyWord", g("手机+配件")}, {"provid", "330000"}, {"page", "0"}, {"reaid", "0"}}));
    EXPECT_EQ(form.nextPage, 1);  // raised once the fields are built
    request = source.listingRequest(request.url, WorkKey::parse("5[0]0{0}"), form);
    EXPECT_EQ(request.fields[2].second, "1");
}

TEST(PortalAnswer, FieldsLoseTheirTagsButKeepTheirBlanks) {
    CompanyPage page = parse(answerPage(
        company("<a href=\"/c/1.htm\" target=_blank><B>" + g("华鑫") + "<FONT color=red>" +
                    g("手机") + "</font>" + g("有限公司") + "</B></a>",
                g("杭州市<br>文三路 8 号 "), " 0571-88881234 ") +
            company("ABC " + g("电子"), g("宁波市<西门"), "0574-1<2"),
        true));
    ASSERT_EQ(page.companies.size(), 2u);
    EXPECT_TRUE(page.nextPage);
    EXPECT_EQ(page.companies[0][Field::Name], g("华鑫手机有限公司"));
    EXPECT_EQ(page.companies[0][Field::Address], g("杭州市文三路 8 号 "));
    EXPECT_EQ(page.companies[0][Field::Phone],
              " 0571-88881234 ");  // the text up to "</tr>", untrimmed
    EXPECT_EQ(page.companies[1][Field::Name], "abc " + g("电子"));
    EXPECT_EQ(page.companies[1][Field::Address], g("宁波市西门"));  // a lone "<" goes alone
    EXPECT_EQ(page.companies[1][Field::Phone], "0574-1");           // "<2</td>" is one tag
    for (const auto& c : page.companies) {
        EXPECT_TRUE(c[Field::Email].empty());
        EXPECT_TRUE(c[Field::Postcode].empty());
    }
}

TEST(PortalAnswer, AnEmptyFieldBetweenTwoDotsIsReadAsEmpty) {
    CompanyPage page =
        parse(answerPage(company(g("甲公司"), "", "0571-1") + company(g("乙公司"), g("杭州"), "") +
                             company("", g("宁波"), "0574-3"),
                         false));
    ASSERT_EQ(page.companies.size(), 3u);
    EXPECT_FALSE(page.nextPage);
    EXPECT_EQ(page.companies[0][Field::Name], g("甲公司"));
    EXPECT_EQ(page.companies[0][Field::Address], "");
    EXPECT_EQ(page.companies[0][Field::Phone], "0571-1");
    EXPECT_EQ(page.companies[1][Field::Name], g("乙公司"));
    EXPECT_EQ(page.companies[1][Field::Phone], "");
    EXPECT_EQ(page.companies[2][Field::Name], "");
    EXPECT_EQ(page.companies[2][Field::Address], g("宁波"));
}

TEST(PortalAnswer, ATableWithTooFewDotsRunsOnIntoTheNextOne) {
    // The first table has one dot only: its scans take the next table's dots,
    // and the page is kept from the "</tr>" behind the second company's
    // third dot, so that company is not read again.
    std::string short1 = kTable + "<tr><td>&#183;" + g("甲") + "</td></tr></table>";
    CompanyPage page = parse(short1 + company(g("乙"), g("杭州"), "1") + company(g("丙"), "", "2"));
    ASSERT_EQ(page.companies.size(), 2u);
    EXPECT_EQ(page.companies[0][Field::Name], g("甲") + "\r\n");
    EXPECT_EQ(page.companies[0][Field::Address], g("乙"));
    EXPECT_EQ(page.companies[0][Field::Phone], g("杭州") + "&#183;1");
    EXPECT_EQ(page.companies[1][Field::Name], g("丙"));

    // Without any later dot every scan stops at the page's last byte.
    // The name then ends in front of that byte.
    page = parse(kTable + "<tr><td>&#183;" + g("丁公司") + "</td>\r\n");
    ASSERT_EQ(page.companies.size(), 1u);
    EXPECT_EQ(page.companies[0][Field::Name], g("丁公司") + "\r");
    EXPECT_EQ(page.companies[0][Field::Address], "");
    EXPECT_EQ(page.companies[0][Field::Phone], "");
}

TEST(PortalListing, TakesCompaniesInInPageOrderWithTheirLookups) {
    PortalSource source;
    WorkForm form;
    IntakeRecorder intake;
    intake.refuse(g("乙公司"));
    std::string page =
        answerPage(company(g("甲公司"), "a", "1") + company("", "b", "2") +
                       company(g("乙公司"), "c", "3") + company(g("丙公司"), "", "4"),
                   true);
    ASSERT_TRUE(parseFetchedPage(source, form, WorkKey::parse("5[0]0{0}"), page, intake));
    EXPECT_EQ(form.knownPages, 1);
    EXPECT_FALSE(form.lastPageSpent);
    // The empty name is never asked about; the refused one gets no lookup.
    EXPECT_EQ(intake.calls(),
              (std::vector<std::string>{"accept " + g("甲公司"), "lookup " + g("甲公司"),
                                        "take " + g("甲公司"), "accept " + g("乙公司"),
                                        "accept " + g("丙公司"), "lookup " + g("丙公司"),
                                        "take " + g("丙公司")}));
    ASSERT_EQ(intake.taken().size(), 2u);
    RecordSlot want;
    want[Field::Name] = g("丙公司");
    want[Field::Phone] = "4";
    want[Field::Email] = "info@" + g("丙公司");  // what the recorder's lookup found
    EXPECT_EQ(intake.taken()[1], want);
}

TEST(PortalListing, AnEmptyOrRepeatedPageTakesNothingInAndIsSpent) {
    PortalSource source;
    WorkForm form;
    IntakeRecorder intake;
    std::string first = answerPage(company(g("甲"), "a", "1") + company(g("乙"), "b", "2"), true);
    std::string again = first;
    parseFetchedPage(source, form, WorkKey::parse("5[0]0{0}"), first, intake);
    EXPECT_EQ(intake.taken().size(), 2u);
    EXPECT_FALSE(form.lastPageSpent);

    // The same companies again (other phones, same names in the same order).
    parseFetchedPage(source, form, WorkKey::parse("5[0]0{0}"), again, intake);
    EXPECT_TRUE(form.lastPageSpent);
    EXPECT_EQ(intake.taken().size(), 2u);
    EXPECT_EQ(form.knownPages, 2);  // the pager is read as it is

    // Another order is another page.
    form.lastPageSpent = false;
    std::string swapped = answerPage(company(g("乙"), "b", "2") + company(g("甲"), "a", "1"), true);
    parseFetchedPage(source, form, WorkKey::parse("5[0]0{0}"), swapped, intake);
    EXPECT_FALSE(form.lastPageSpent);
    EXPECT_EQ(intake.taken().size(), 4u);

    std::string empty = answerPage("", true);
    parseFetchedPage(source, form, WorkKey::parse("5[0]0{0}"), empty, intake);
    EXPECT_TRUE(form.lastPageSpent);
    EXPECT_EQ(intake.taken().size(), 4u);
}

}  // namespace
}  // namespace velmora
