#pragma once
// The postcode of a homepage: six digits behind the last postcode label, the
// label's table row read without its markup.
#include <optional>
#include <string>
#include <string_view>

namespace velmora::homepage {

// No value when the cleaned page has no postcode label; otherwise the
// postcode, empty when the text behind the label holds no six digits.
std::optional<std::string> findPostcode(std::string_view page);

}  // namespace velmora::homepage
