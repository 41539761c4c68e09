#include "sources/websearch/number_cleaner.h"

#include <gtest/gtest.h>

#include "fuzz/reference_number_cleaner.h"
#include "sources/websearch/number_scanner.h"
#include "support/test_support.h"

namespace velmora {
namespace {

using testing::g;

struct Case {
    const char* name;
    std::string text;  // GBK
    text::Pos position;
    std::string expected;
};

std::ostream& operator<<(std::ostream& os, const Case& c) {
    return os << c.name;
}

const std::string kLabel = g("电话：");

std::vector<Case> cleanerCases() {
    return {
        {"FullWidthBrackets", g("电话：（0571）88888888"), 1, "(0571)88888888"},
        {"FullWidthDash", g("电话：0571—88888888"), 1, "0571-88888888"},
        {"FullWidthDots", g("电话：0571·8888·8888"), 1, "0571.8888.8888"},
        {"MarkupBeforeDigits", g("电话：<b>0571-88888888</b>"), 1, "0571-88888888"},
        {"FourDigits", g("电话：1234"), 1, ""},
        {"YearRange", g("电话：2003-2008"), 1, ""},
        {"FullStopAtThree", g("电话：12.34567"), 1, ""},
        {"FullStopAtFour", g("电话：123.4567"), 1, "123.4567"},
        {"NoDigitInWindow", kLabel + std::string(300, 'x') + "88888888", 1, ""},
        {"LineBreakInside", g("电话：0571-\r\n88888888"), 1, "0571-88888888"},
        {"PositionZeroLooksAtTheStart", "88888888 tel", 0, "88888888 "},
        {"PositionZeroBracketAtTheStart", "(0571)88888888", 0, "(0571)88888888"},
        // The bytes in front of the label are not part of the number.
        {"LabelInsideText", "abc " + kLabel + "0571-87654321 fax", 5, "0571-87654321 "},
        // An ASCII bracket before the first digit belongs to it.
        {"AsciiBracket", kLabel + "(010)66668888", 1, "(010)66668888"},
        // The markup skip searches to the end of the text, not only the window.
        {"MarkupSkipBeyondWindow",
         kLabel + "<font size=2 style=\"" + std::string(400, 'x') + "\">0571-88886666</font>", 1,
         "0571-88886666"},
        // A "<" with no ">" behind it: digit to digit until no markup between.
        {"UnclosedMarkupWalksDigits", kLabel + "<1<2<3 45678", 1, "45678"},
        // The full-width space becomes a number character.
        {"FullWidthSpace", g("电话：0571　88889999"), 1, "0571 88889999"},
        // The run starts at the first digit, so a slash joins two numbers.
        {"TwoNumbers", g("电话：0571-88888888/88889999 传真"), 1, "0571-88888888/88889999 "},
        {"PositionPastTheEnd", "12345", 9, ""},
        {"EmptyText", "", 0, ""},
        {"NegativePositionReadsAsZero", "123456", -4, "123456"},
    };
}

class CleanerCase : public ::testing::TestWithParam<Case> {};
TEST_P(CleanerCase, GivesTheNumber) {
    const Case& c = GetParam();
    EXPECT_EQ(cleanNumberText(c.text, c.position), c.expected);
}
INSTANTIATE_TEST_SUITE_P(NumberCleaner, CleanerCase, ::testing::ValuesIn(cleanerCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NumberCleaner, EachYearMarkRejects) {
    for (int year = 1994; year <= 2008; ++year) {
        std::string text = kLabel + std::to_string(year) + "-0571-8888";
        EXPECT_EQ(cleanNumberText(text, 1), "") << year;
    }
    EXPECT_EQ(cleanNumberText(kLabel + "1993-88888", 1), "1993-88888");
    EXPECT_EQ(cleanNumberText(kLabel + "2009-88888", 1), "2009-88888");
}

TEST(NumberCleaner, WindowOfThreeHundredBytesBehindTheLabel) {
    // The first digit may stand at position p + 300, not at p + 301.
    std::string inside = "x" + std::string(299, ' ') + "12345";
    EXPECT_EQ(cleanNumberText(inside, 1), "12345");
    std::string outside = "x" + std::string(299, 'y') + "z12345";
    EXPECT_EQ(cleanNumberText(outside, 1), "");
    // Deleted line breaks pull bytes from beyond the window into it.
    std::string breaks = "x";
    for (int i = 0; i < 150; ++i) breaks += "\r\ny";
    breaks += "12345";
    EXPECT_EQ(cleanNumberText(breaks, 1), "12345");
}

TEST(NumberCleaner, ScannerOverAWindowOfAPageMatchesTheCopy) {
    // The extractor cleans a window of its page; the window's end bounds the run.
    std::string page = "head " + kLabel + "0571-8888 8888 tail";
    NumberScanner scanner(page);
    text::Pos first = 6, last = text::length(page) - 8;  // ends inside "8888 8888"
    std::string window = page.substr(first - 1, last - first + 1);
    EXPECT_EQ(scanner.clean(first, last, 1), cleanNumberText(window, 1));
    EXPECT_EQ(scanner.clean(first, last, 1), "0571-8888 8");
}

TEST(NumberCleaner, TablesGiveTheSameResultsAsTheSearches) {
    // Labels whose markup skip walks far, from ">" to ">" and from digit to
    // digit, windows that end inside runs, long runs with and without a year.
    std::vector<std::string> texts = {
        kLabel + "<1<2<3 45678<9",
        kLabel + "<b>x</b><i>1</i>2<3>4 5678-9012",
        kLabel + "<a>" + std::string(500, '>') + "<1>2 34567",
        "<p>" + kLabel + "<1" + std::string(5000, ' ') + "12345 2003-7",
        kLabel + "(" + std::string(5000, '8') + "2001-",
        g("传真：（0571）<b>8888</b>7777 1999"),
    };
    std::string many;
    for (int i = 0; i < 300; ++i) many += kLabel + "<1";
    texts.push_back(many + std::string(5000, '7'));
    for (const std::string& t : texts) {
        NumberScanner searching(t), tabled(t, 0);
        const text::Pos n = text::length(t);
        for (text::Pos first : {text::Pos{1}, text::Pos{4}, text::Pos{7}})
            for (text::Pos last : {n, n - 1, n - 3})
                for (text::Pos p : {text::Pos{0}, text::Pos{1}, text::Pos{2}}) {
                    std::string window = t.substr(first - 1, last - first + 1);
                    std::string want = fuzz::ref::cleanNumberText(window, p);
                    EXPECT_EQ(searching.clean(first, last, p), want) << first << " " << last;
                    EXPECT_EQ(tabled.clean(first, last, p), want) << first << " " << last;
                }
    }
}

}  // namespace
}  // namespace velmora
