#pragma once
// The e-mail address of a homepage: the address bytes around the page's first
// "@", judged by the same rules as the e-mail lookup's candidates.
#include <string>
#include <string_view>

namespace velmora::homepage {

// Empty when the cleaned page has no "@" or its first "@" gives no address.
std::string findEmail(std::string_view page);

}  // namespace velmora::homepage
