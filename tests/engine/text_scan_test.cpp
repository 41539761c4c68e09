#include "sources/framework/text_scan.h"

#include <gtest/gtest.h>

#include <random>

#include "sources/framework/escaping.h"
#include "support/test_support.h"

namespace velmora {
namespace {

using namespace text;
using velmora::testing::g;

TEST(Scanning, ForwardScanExaminesFromTheNextPosition) {
    //                 123456789
    std::string page = "ab<ab<ab";
    EXPECT_EQ(scanForward(page, "<", 0), 3);
    EXPECT_EQ(scanForward(page, "<", 2), 3);
    EXPECT_EQ(scanForward(page, "<", 3), 6);  // position 3 itself is not examined
    EXPECT_EQ(scanForward(page, "x", 1), 8);  // clamps at the page length
    EXPECT_EQ(scanForward(page, "x", 1, 1), 1);
    EXPECT_EQ(scanForward(page, "<", 8), 8);  // beyond the end
    EXPECT_EQ(scanForwardMatch(page, "x", 1), 0);
}

TEST(Scanning, BackScanClampsAndReadsZeroAsOne) {
    std::string page = "http://a\"http://b";
    EXPECT_EQ(scanBack(page, "http://", 17, 0), 10);
    EXPECT_EQ(scanBack(page, "http://", 10, 0), 1);  // position 10 itself is not examined
    EXPECT_EQ(scanBack(page, "http://", 1, 0), 0);   // k = 0 compares at position 1
    EXPECT_EQ(scanBack(page, "zzz", 12, 0), 0);
    EXPECT_EQ(scanBack(page, "zzz", 12, 12), 12);  // the clamp of the caller
    EXPECT_EQ(scanBack("xhttp://", "http://", 1, 99), 99);
}

TEST(Scanning, CutRule) {
    std::string t = "abcdef";
    EXPECT_EQ(cut(t, 2, 4), "bc");
    EXPECT_EQ(cut(t, 4, 4), "");
    EXPECT_EQ(cut(t, 5, 2), "");
    EXPECT_EQ(cut(t, 0, 3), "ab");  // a start below 1 counts as 1
    EXPECT_EQ(cut(t, -5, 3), "ab");
    EXPECT_EQ(cut(t, 5, 100), "ef");  // stops at the end
    EXPECT_EQ(cut(t, 7, 9), "");
    EXPECT_EQ(tail(t, 3), "cdef");
    EXPECT_EQ(tail(t, 0), "abcdef");
    EXPECT_EQ(tail(t, 7), "");
}

TEST(Scanning, FindIsOneBased) {
    EXPECT_EQ(find("abcabc", "c"), 3);
    EXPECT_EQ(find("abcabc", "c", 4), 6);
    EXPECT_EQ(find("abcabc", "z"), 0);
    EXPECT_EQ(findLast("abcabc", "ab"), 4);
}

TEST(Scanning, ForwardFinderAgreesWithFind) {
    std::string page = "x\">y\">zz";
    ForwardFinder f(page, "\">");
    for (Pos from : {1, 2, 3, 4, 5, 6, 7, 9, 2, 1})
        EXPECT_EQ(f.next(from), find(page, "\">", from)) << from;
}

TEST(TagRemoval, LooksForTheClosingBracketTwoBytesOn) {
    EXPECT_EQ(removeTags("a<b>c"), "ac");
    EXPECT_EQ(removeTags("<>abc>def"), "def");  // "<>" alone is no tag
    EXPECT_EQ(removeTags("a<b"), "ab");         // a lone "<" goes alone
    EXPECT_EQ(removeTags("1<2<3"), "123");
    EXPECT_EQ(removeTags("x<"), "x");
    EXPECT_EQ(removeTags("<b>bold</b> text"), "bold text");
    EXPECT_EQ(removeTags("a<>"), "a>");  // ">" at i + 1 is not examined
}

TEST(LowerCasing, ChangesOnlySingleByteCapitals) {
    // 機 (99 43) and 華 (C8 41) have second bytes in "A".."Z"; they stay.
    const std::string name = g("機華業廠");
    std::string page = "ABC xyz [@]" + name + "MAIL\x81";
    lowerAsciiInPlace(page);
    EXPECT_EQ(page, "abc xyz [@]" + name + "mail\x81");
    // Against the plain lead-byte walk, on texts rich in runs of lead bytes
    // that cross the 64-byte blocks the fast path works on.
    auto walk = [](std::string t) {
        for (size_t i = 0; i < t.size(); ++i) {
            auto b = static_cast<unsigned char>(t[i]);
            if (b >= 0x81 && b <= 0xFE)
                ++i;
            else if (b >= 'A' && b <= 'Z')
                t[i] = static_cast<char>(b + 32);
        }
        return t;
    };
    std::mt19937 random(5);
    const std::string bytes = "AZaM<@[\x80\xFF\x81\xFE\xC8\x41";
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 400, ' ');
        bool leadHeavy = random() % 2;
        for (char& c : text)
            c = leadHeavy && random() % 4 ? static_cast<char>(0x81 + random() % 0x7E)
                                          : bytes[random() % bytes.size()];
        std::string fast = text;
        lowerAsciiInPlace(fast);
        ASSERT_EQ(fast, walk(text)) << round;
    }
}

TEST(Trimming, RemovesBytesUpToSpaceOnly) {
    EXPECT_EQ(trim(" \t\r\nab c\x01 "), "ab c");
    std::string fullWidth = g("　") + "a";
    EXPECT_EQ(trim(fullWidth), fullWidth);  // a full-width space stays
    EXPECT_EQ(trim("   "), "");
}

TEST(DigitFilter, JoinsDigitGroupsWithSingleSpaces) {
    EXPECT_EQ(digitFilter(g("话：0571-88888888 / 88888889")), " 0571 88888888 88888889");
    EXPECT_EQ(digitFilter("123"), "123");
    EXPECT_EQ(digitFilter("(0571) 1234 "), " 0571 1234");
    EXPECT_EQ(digitFilter("abc"), "");
}

TEST(LeadBytes, WalksFromTheStartOfTheText) {
    std::string t = "a" + g("中文") + "b";  // a, D6 D0, CE C4, b
    EXPECT_FALSE(isTrailByteAt(t, 1));
    EXPECT_FALSE(isTrailByteAt(t, 2));
    EXPECT_TRUE(isTrailByteAt(t, 3));
    EXPECT_FALSE(isTrailByteAt(t, 4));
    EXPECT_TRUE(isTrailByteAt(t, 5));
    EXPECT_FALSE(isTrailByteAt(t, 6));
}

TEST(Numbers, ParseTrustedDecimalsAndRejectOthers) {
    EXPECT_EQ(parseInt32("42"), 42);
    EXPECT_EQ(parseInt32(""), 0);
    EXPECT_THROW(parseInt32("4x"), std::invalid_argument);
    EXPECT_THROW(parseInt32("99999999999"), std::invalid_argument);
    EXPECT_THROW(parseInt32("+-5"), std::invalid_argument);
    EXPECT_EQ(parseInt32("+5"), 5);
    EXPECT_EQ(parseInt32("-5"), -5);
}

TEST(Escaping, SearchAddressBytes) {
    EXPECT_EQ(urlByteEscape(g("北京")), "%B1%B1%BE%A9");
    EXPECT_EQ(urlByteEscape("a+b c"), "a%2Bb%20c");
    EXPECT_EQ(urlByteEscape("*#%<>[]"), "%2A%23%25%3C%3E%5B%5D");
    EXPECT_EQ(urlByteEscape("-|/\x7F"), "-|/\x7F");
    EXPECT_EQ(urlByteEscape("\x01"), "%01");
}

TEST(Escaping, FormValues) {
    EXPECT_EQ(formValueEncode("aZ9 -_."), "aZ9+%2D%5F%2E");
    EXPECT_EQ(formValueEncode(g("手机")), "%CA%D6%BB%FA");
    EXPECT_EQ(formBody({{"key", "a b"}, {"page", "1"}}), "key=a+b&page=1");
}

}  // namespace
}  // namespace velmora
