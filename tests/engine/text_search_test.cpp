// The byte search under every parser: the same answers as a plain search,
// for markers of every length, at every start and near the page end.
#include <gtest/gtest.h>

#include <random>

#include "sources/framework/paging.h"
#include "sources/framework/text_scan.h"
#include "support/test_support.h"

namespace velmora {
namespace {

using testing::g;

text::Pos plainFind(std::string_view page, std::string_view marker, text::Pos from) {
    if (from < 1) from = 1;
    if (from > text::length(page)) return 0;
    size_t at = page.find(marker, static_cast<size_t>(from - 1));
    return at == std::string_view::npos ? 0 : static_cast<text::Pos>(at) + 1;
}

TEST(ByteSearch, AgreesWithAPlainSearchOnRandomGbkLikePages) {
    std::mt19937 random(7);
    // Few distinct bytes, so that markers occur often and partly.
    const std::string alphabet = g("找到不无法未a<>") + "\xD5";
    auto pick = [&](size_t n) {
        std::string s;
        for (size_t i = 0; i < n; ++i) s.push_back(alphabet[random() % alphabet.size()]);
        return s;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string page = pick(random() % 200);
        std::string marker = pick(random() % 7);
        if (round % 3 == 0 && !page.empty()) {
            size_t a = random() % page.size();
            marker = page.substr(a, random() % 9);  // a marker that occurs
        }
        auto size = static_cast<text::Pos>(page.size());
        for (text::Pos from :
             {text::Pos{0}, text::Pos{1}, text::Pos{2}, text::Pos{17}, size, size + 1}) {
            ASSERT_EQ(text::find(page, marker, from), plainFind(page, marker, from))
                << "page of " << page.size() << " bytes, marker of " << marker.size() << ", from "
                << from;
        }
        ASSERT_EQ(text::contains(page, marker), page.find(marker) != std::string::npos);
    }
}

TEST(ByteSearch, NotFoundTextsAtAnyByteOffset) {
    for (const char* text : {"无法找到", "未找到", "找不到"}) {
        for (const std::string& before :
             {std::string(), std::string("x"), std::string("ab"), std::string(40, 'y')}) {
            std::string page = before + g(text) + std::string(33, 'z');
            EXPECT_TRUE(isNotFoundPage(page)) << text << " after " << before.size();
        }
    }
    EXPECT_FALSE(isNotFoundPage(g("找到了") + std::string(50, 'q')));
}

}  // namespace
}  // namespace velmora
