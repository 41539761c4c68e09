#include "app/engine/search_inputs.h"

#include "app/engine/provinces.h"
#include "platform/gbk.h"
#include "sources/framework/text_scan.h"

namespace velmora {

InputProblem checkSearchInputs(std::string_view keywordBox, std::string_view provinceBox) {
    if (!keywordBox.empty()) return InputProblem::None;
    if (provinceBox.empty()) return InputProblem::NoKeyword;
    if (provinceBox == provinces::placeholder()) return InputProblem::NoKeywordOrProvince;
    return InputProblem::None;
}

const std::string& inputProblemMessage(InputProblem problem) {
    // Note the character 鍵 in both messages.
    static const std::string kNone;
    static const std::string kNoKeyword = gbk::fromUtf8("请输入关鍵词");
    static const std::string kNoKeywordOrProvince = gbk::fromUtf8("请输入关鍵词或选择省份");
    switch (problem) {
        case InputProblem::NoKeyword:
            return kNoKeyword;
        case InputProblem::NoKeywordOrProvince:
            return kNoKeywordOrProvince;
        case InputProblem::None:
            break;
    }
    return kNone;
}

SearchInputs makeSearchInputs(std::string_view keywordBox, std::string_view provinceBox) {
    SearchInputs in;
    in.keyword = std::string(text::trim(keywordBox));
    if (auto space = in.keyword.find(' '); space != std::string::npos) in.keyword[space] = '+';
    if (provinceBox != provinces::placeholder()) in.provinceName = std::string(provinceBox);
    in.provinceCode = in.provinceName.empty() ? "000000" : provinces::codeOf(in.provinceName);
    return in;
}

}  // namespace velmora
