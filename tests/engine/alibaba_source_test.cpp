#include "sources/alibaba/alibaba_source.h"

#include <gtest/gtest.h>

#include "sources/framework/worker_step.h"
#include "support/test_support.h"

namespace velmora {
namespace {

using testing::g;

std::string contactLink(const std::string& url) {
    return "<td><a href=\"" + url + "\" target=\"_blank\">" + g("联系方式") + "</a></td>\n";
}

WorkForm parseListing(std::string page, int knownPages = 1) {
    AlibabaSource source;
    WorkForm form;
    form.knownPages = knownPages;
    form.nextPage = 1;
    EXPECT_TRUE(
        parseFetchedPage(source, form, WorkKey::parse("2[0]0{0}"), page, discardingIntake()));
    return form;
}

RecordSlot parseDetail(std::string page) {
    AlibabaSource source;
    WorkForm form;
    EXPECT_TRUE(
        parseFetchedPage(source, form, WorkKey::parse("2[0]1{0}"), page, discardingIntake()));
    return form.slot;
}

TEST(AlibabaListing, ThreeAnchorsAndTheNextPageNumber) {
    std::string page = "<div>" + contactLink("http://a.example/c1") +
                       contactLink("http://a.example/c2") + contactLink("http://a.example/c3") +
                       "<a href=\"http://s/p2\">2</a>" + "<a href=\"http://s/p2\">" + g("下一页") +
                       "</a></div>";
    WorkForm form = parseListing(page);
    EXPECT_EQ(form.detailCount, 3);
    EXPECT_EQ(form.knownPages, 2);
    EXPECT_EQ(form.detail.row(1), (WorkRow{"N", "http://a.example/c1", "2[0]1{0}"}));
    EXPECT_EQ(form.detail.row(3), (WorkRow{"N", "http://a.example/c3", "2[0]3{0}"}));
    EXPECT_EQ(form.listing.row(1), (WorkRow{"N", "http://s/p2", "2[0]0{0}"}));
}

TEST(AlibabaListing, WithoutTheNextNumberKnownPagesBecomesZero) {
    WorkForm form = parseListing(contactLink("http://a/c1") + "<a>3</a>", 1);
    EXPECT_EQ(form.knownPages, 0);
    EXPECT_EQ(form.detailCount, 1);
}

TEST(AlibabaListing, ANumberWithoutANextPageLinkFinishesTheSource) {
    WorkForm form = parseListing(contactLink("http://a/c1") + "<a>2</a>", 1);
    EXPECT_EQ(form.listing.row(1).url, "");
    EXPECT_EQ(form.knownPages, 0);  // instead of handing out an empty row forever
}

TEST(AlibabaListing, AnAnchorWithoutHttpBeforeItGivesAnEmptyLink) {
    std::string page =
        contactLink("http://a/c1") + "<a href=\"/relative\">" + g("联系方式") + "</a>";
    WorkForm form = parseListing(page);
    ASSERT_EQ(form.detailCount, 2);
    EXPECT_EQ(form.detail.row(1).url, "http://a/c1");
    EXPECT_EQ(form.detail.row(2).url, "");
}

std::string detailPage(const std::string& contactBlock) {
    return "<html><h1 class=\"chinaName\"> ABC " + g("机械有限公司") + " </h1>" + contactBlock +
           "<ul><li>" + g("电&nbsp;&nbsp;&nbsp;&nbsp;话：") + "0571-88888888 / 88888889</li>" +
           "<li>" + g("传&nbsp;&nbsp;&nbsp;&nbsp;真：") + "0571-88888890</li>" + "<li>" +
           g("地&nbsp;&nbsp;&nbsp;&nbsp;址：") + g(" 浙江省杭州市 ") + "</li>" + "<li>" +
           g("邮&nbsp;&nbsp;&nbsp;&nbsp;编：") + "310000</li></ul>" + "<p>" + g("公司主页：") +
           "<a href=\"http://x\" target=\"_blank\">http://www.abc.cn</a></p></html>";
}

TEST(AlibabaDetail, CutsSevenFields) {
    std::string contact = "<a class=\"comy_cont_toclub\" href=#>" + g("张先生") + "</a>";
    RecordSlot slot = parseDetail(detailPage(contact));
    EXPECT_EQ(slot[Field::Name], "abc " + g("机械有限公司"));
    EXPECT_EQ(slot[Field::Phone], " 0571 88888888 88888889");
    EXPECT_EQ(slot[Field::Fax], " 0571 88888890");
    EXPECT_EQ(slot[Field::Address], g("浙江省杭州市"));
    EXPECT_EQ(slot[Field::Postcode], "310000");
    EXPECT_EQ(slot[Field::Website], "http://www.abc.cn");
    EXPECT_EQ(slot[Field::Manager], "");
    EXPECT_EQ(slot[Field::Email], "");
    EXPECT_EQ(slot[Field::Profile], "");
    // The contact is cut from 20 bytes behind the marker's first byte, untrimmed.
    EXPECT_EQ(slot[Field::Contact], "ef=#>" + g("张先生"));
}

TEST(AlibabaDetail, ContactTakenAtTheThirdOccurrenceWhenThereAreThree) {
    auto link = [](const std::string& who) {
        return "<a class=\"comy_cont_toclub\"  >" + who + "</a>";  // value 20 bytes in
    };
    RecordSlot two = parseDetail(detailPage(link("one") + link("two")));
    EXPECT_EQ(two[Field::Contact], "one");
    RecordSlot three = parseDetail(detailPage(link("one") + link("two") + link("three")));
    EXPECT_EQ(three[Field::Contact], "three");
}

TEST(AlibabaDetail, AnAlibabaWebsiteIsDroppedInAnyCase) {
    std::string page = g("公司主页：") + "<a target=\"_blank\">HTTP://ABC.Alibaba.com</a>";
    EXPECT_EQ(parseDetail(page)[Field::Website], "");
}

TEST(AlibabaDetail, MissingLabelsLeaveFieldsEmptyAndLaterOnesAreFound) {
    std::string page = "<li>" + g("邮&nbsp;&nbsp;&nbsp;&nbsp;编：") + "100000</li>";
    RecordSlot slot = parseDetail(page);
    EXPECT_EQ(slot[Field::Name], "");
    EXPECT_EQ(slot[Field::Phone], "");
    EXPECT_EQ(slot[Field::Postcode], "100000");
}

TEST(AlibabaDetail, FaxHasOnlyItsOwnDigits) {
    std::string page = "<li>" + g("电&nbsp;&nbsp;&nbsp;&nbsp;话：") + "1</li><li>" +
                       g("传&nbsp;&nbsp;&nbsp;&nbsp;真：") + "2-3</li>";
    RecordSlot slot = parseDetail(page);
    EXPECT_EQ(slot[Field::Phone], " 1");
    EXPECT_EQ(slot[Field::Fax], " 2 3");
}

}  // namespace
}  // namespace velmora
