#pragma once
// The province box entries and their GB/T 2260 province codes.
#include <string>
#include <string_view>
#include <vector>

namespace velmora::provinces {

// "(省份)" as GBK: the province box's "nothing chosen" entry.
const std::string& placeholder();

// The province box list as GBK: "(省份)" then the 35 names (index 0 = "(省份)").
const std::vector<std::string>& boxEntries();

// Code of a province name (GBK); "000000" for "其它", the empty name and any
// name that is not in the table.
std::string codeOf(std::string_view gbkName);

}  // namespace velmora::provinces
