#pragma once
// Deterministic company data for one keyword and province: the same inputs
// and seed always give the same companies in the same order.
#include <cstdint>
#include <string_view>
#include <vector>

#include "demo/company.h"

namespace velmora::demo {

// `count` companies with names unique after lower-casing. `keyword` is the
// search keyword as the sites receive it (GBK, "+" for its first space);
// `provinceCode` is six digits, "000000" for all of China.
std::vector<Company> generateCompanies(std::string_view keyword, std::string_view provinceCode,
                                       std::uint32_t seed, int count);

}  // namespace velmora::demo
