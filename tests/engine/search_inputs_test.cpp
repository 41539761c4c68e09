#include "app/engine/search_inputs.h"

#include <gtest/gtest.h>

#include "app/engine/provinces.h"
#include "support/test_support.h"

namespace velmora {
namespace {

using velmora::testing::g;

TEST(SearchInputCheck, NeedsAKeywordOrAProvince) {
    EXPECT_EQ(checkSearchInputs("", ""), InputProblem::NoKeyword);
    EXPECT_EQ(checkSearchInputs("", g("(省份)")), InputProblem::NoKeywordOrProvince);
    EXPECT_EQ(checkSearchInputs("", g("北京")), InputProblem::None);
    EXPECT_EQ(checkSearchInputs("k", ""), InputProblem::None);
    EXPECT_EQ(checkSearchInputs(" ", ""), InputProblem::None);  // not empty, though blank
    EXPECT_EQ(inputProblemMessage(InputProblem::NoKeyword), g("请输入关鍵词"));
    EXPECT_EQ(inputProblemMessage(InputProblem::NoKeywordOrProvince), g("请输入关鍵词或选择省份"));
}

TEST(SearchInputs, TrimsAndReplacesOnlyTheFirstSpace) {
    auto in = makeSearchInputs("  " + g("手机 配件") + " \t", g("(省份)"));
    EXPECT_EQ(in.keyword, g("手机+配件"));
    EXPECT_EQ(in.provinceName, "");
    EXPECT_EQ(in.provinceCode, "000000");
    EXPECT_EQ(makeSearchInputs("a b c", "").keyword, "a+b c");
}

TEST(SearchInputs, ProvinceCodes) {
    EXPECT_EQ(makeSearchInputs("", g("北京")).provinceCode, "110000");
    EXPECT_EQ(makeSearchInputs("", g("黑龙江")).provinceCode, "230000");
    EXPECT_EQ(makeSearchInputs("", g("台湾")).provinceCode, "710000");
    EXPECT_EQ(makeSearchInputs("", g("其它")).provinceCode, "000000");
    EXPECT_EQ(makeSearchInputs("", g("其它")).provinceName, g("其它"));
    EXPECT_EQ(makeSearchInputs("x", "").provinceCode, "000000");
}

TEST(Provinces, BoxListInOrder) {
    const auto& box = provinces::boxEntries();
    ASSERT_EQ(box.size(), 36u);
    EXPECT_EQ(box[0], g("(省份)"));
    EXPECT_EQ(box[1], g("北京"));
    EXPECT_EQ(box[9], g("浙江"));
    EXPECT_EQ(box[35], g("其它"));
}

}  // namespace
}  // namespace velmora
