#pragma once
// The profile of a homepage: the introduction text around an anchor such as
// "公司成立于" or the company's name followed by "是", searched from the
// first dense stretch of Chinese text on, gathered from the text between
// tags up to 600 bytes and cut short at about 290 bytes.
#include <string>
#include <string_view>

namespace velmora::homepage {

// Empty when the cleaned page holds none of the introduction anchors;
// otherwise the profile, always ending in "......". `name` is the company
// name found for the page (may be empty).
std::string findProfile(std::string_view page, std::string_view name);

}  // namespace velmora::homepage
