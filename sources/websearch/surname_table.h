#pragma once
// The surnames a person's name may begin with: 630 characters kept as five
// strings of 126 characters, searched one after the other.
#include <array>
#include <string_view>

namespace velmora::homepage {

// The five strings as written (UTF-8).
const std::array<std::string_view, 5>& surnameStrings();

// True when the first two bytes of `candidate` (GBK) are one of the
// surnames; a candidate shorter than two bytes has no first character.
bool startsWithSurname(std::string_view candidate);

}  // namespace velmora::homepage
