#pragma once
// Page markers shared by several sources, as GBK bytes. Each is written as
// readable text and converted once, on first use.
#include <string>

namespace velmora::markers {

const std::string& nextPageLink();  // ">下一页<"
const std::string& nextPageText();  // "下一页"

}  // namespace velmora::markers
