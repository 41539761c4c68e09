#pragma once
// The contact person of a homepage: the text behind "联系人" up to the next
// markup, split into runs of two or more adjacent Chinese characters; up to
// five runs that begin with a surname, joined by two spaces.
#include <string>
#include <string_view>

namespace velmora::homepage {

// `page` is the cleaned page; empty when it has no "联系人" or no name.
std::string findContact(std::string_view page);

// The contact from a segment that begins with "联系人".
std::string contactFromSegment(std::string_view segment);

}  // namespace velmora::homepage
