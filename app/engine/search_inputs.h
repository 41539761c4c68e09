#pragma once
// The search command's input check and the inputs the search start hands to
// the sources, built from the keyword box and province box texts (GBK).
#include <string>
#include <string_view>

namespace velmora {

enum class InputProblem {
    None,
    NoKeyword,            // "请输入关鍵词"
    NoKeywordOrProvince,  // "请输入关鍵词或选择省份"
};

InputProblem checkSearchInputs(std::string_view keywordBox, std::string_view provinceBox);
// The message of a problem, GBK.
const std::string& inputProblemMessage(InputProblem problem);

struct SearchInputs {
    std::string keyword;       // trimmed; the first space replaced by "+"
    std::string provinceName;  // empty for "(省份)"
    std::string provinceCode;  // six digits, "000000" for none
};

SearchInputs makeSearchInputs(std::string_view keywordBox, std::string_view provinceBox);

}  // namespace velmora
