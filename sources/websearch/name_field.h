#pragma once
// The company name of a homepage: from the title when the title names a
// company ("公司", "厂") or holds the search keyword, otherwise from the last
// "公司" of the page when the same name stands earlier in it too.
#include <string>
#include <string_view>

namespace velmora::homepage {

// `page` is the cleaned page; `keyword` the run's search keyword.
std::string findCompanyName(std::string_view page, std::string_view keyword);

}  // namespace velmora::homepage
