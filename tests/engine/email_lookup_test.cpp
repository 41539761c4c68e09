#include "sources/framework/email_lookup.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(EmailCandidate, TakesTheRunOfAddressBytesAroundTheFirstAt) {
    const std::pair<const char*, const char*> cases[] = {
        {"mail: sales@abc-trade.com.cn, x", "sales@abc-trade.com.cn"},
        {"no address here", ""},
        {"@ then a@b.com", "@"},  // only the first "@" of the page is examined
        // Capital letters end the run.
        {"Contact: JohnSmith@abc.com ", "mith@abc.com"},
        {"x john@ABC.com", "john@"},
        {"a@b.com", "a@b.co"},  // never the page's last byte
        // Dashes, then underscores, are stripped at both ends.
        {" --_info@abc.com_-- ", "info@abc.com"},
        {" __-info@abc.com-__ ", "-info@abc.com-"},
        {" -_-info@abc.com ", "-info@abc.com"},
    };
    for (auto [page, candidate] : cases) EXPECT_EQ(emailCandidate(page), candidate) << page;
}

TEST(EmailAcceptance, JudgesPositionLengthAndContent) {
    EXPECT_TRUE(isAcceptableEmail("sales@abc.com"));
    EXPECT_FALSE(isAcceptableEmail("@abc.com"));  // "@" at position 1
    EXPECT_FALSE(isAcceptableEmail("a@b.c"));     // "@" not before length - 4
    EXPECT_TRUE(isAcceptableEmail("a@bc.cn"));
    EXPECT_FALSE(isAcceptableEmail("abc@.example.com"));  // "@."
    EXPECT_FALSE(isAcceptableEmail("abc@index.htm"));     // "htm"
    EXPECT_FALSE(isAcceptableEmail(".abc@example"));      // first "." at position 1
    EXPECT_FALSE(isAcceptableEmail("abc@example"));       // no "."
    EXPECT_FALSE(isAcceptableEmail("abc@example."));      // "." at the last position
    std::string local29(29, 'a');
    EXPECT_FALSE(isAcceptableEmail(local29 + "@abc.com"));  // "@" at position 30
    std::string local28(28, 'a');
    EXPECT_TRUE(isAcceptableEmail(local28 + "@abc.com"));                   // "@" at position 29
    EXPECT_FALSE(isAcceptableEmail("a@" + std::string(36, 'b') + ".com"));  // too long behind "@"
    EXPECT_TRUE(isAcceptableEmail("a@" + std::string(35, 'b') + ".com"));
}

TEST(SearchHits, TakesTheAddressBetweenHrefAndTarget) {
    std::string page =
        "<html><p class=\"r\"><a href=\"http://a.example/1\" target=_blank>one</a>"
        "<p class=\"r\"><a href=\"http://b.example/2\" target=_blank>two</a></html>";
    auto hits = extractSearchHits(page);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0], "http://a.example/1");
    EXPECT_EQ(hits[1], "http://b.example/2");
}

TEST(SearchHits, AMissingEndMarkerGivesAnEmptyHitAndTheLoopEnds) {
    std::string page = "<p class=x><a href=\"http://a.example/1\">one</a> and more";
    auto hits = extractSearchHits(page);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0], "");
}

TEST(SearchHits, StopsAfterTenHitsEvenOnHugePages) {
    std::string page;
    for (int i = 0; i < 100000; ++i) page += "<p class=x><a href=\"http://h/\" target=x>";
    auto hits = extractSearchHits(page);
    EXPECT_EQ(hits.size(), 10u);
}

TEST(SearchUrl, InsertsTheNameByteForByteButForTheQueryBreakers) {
    EXPECT_EQ(emailSearchUrl("http://s", "a b\xB1"), "http://s/baidu?word=\"a b\xB1\"+mail");
    EXPECT_EQ(emailSearchUrl("http://s", "A&B#1%"), "http://s/baidu?word=\"A%26B%231%25\"+mail");
}

}  // namespace
}  // namespace velmora
