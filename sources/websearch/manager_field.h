#pragma once
// The manager of a homepage: the run of Chinese characters behind a title
// word ("经理", "主管", "法人", "负责人"), markup between them skipped, taken
// when it begins with a surname; occurrence after occurrence until one does.
#include <string>
#include <string_view>

namespace velmora::homepage {

class CharMap;

// `page` is the cleaned page, `chars` its character map.
std::string findManager(std::string_view page, const CharMap& chars);

}  // namespace velmora::homepage
