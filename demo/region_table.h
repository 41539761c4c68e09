#pragma once
// Provinces and some of their cities with area codes and postcode prefixes,
// for addresses, phone numbers and postcodes that look like the real ones.
#include <string>
#include <string_view>
#include <vector>

namespace velmora::demo {

struct City {
    std::string fullName;        // GBK, "杭州市"
    std::string shortName;       // GBK, "杭州"
    std::string areaCode;        // "0571"
    std::string postcodePrefix;  // three digits
};

struct Region {
    std::string code;      // six digits, as in the province box's table
    std::string fullName;  // GBK, "浙江省"; a municipality's name equals its city's
    std::vector<City> cities;
    bool municipality = false;
};

// Every province of the province box except "其它", in a fixed order.
const std::vector<Region>& regions();

// The region of a code; nullptr for "000000" and unknown codes (all of China).
const Region* regionOf(std::string_view code);

}  // namespace velmora::demo
