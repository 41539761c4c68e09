#pragma once
// One company of the demo sites as it really is; how each site shows it is
// decided by site_looks.h. All text is GBK.
#include <string>

namespace velmora::demo {

struct Company {
    int poolIndex = 0;    // 0-based place in its keyword and province pool
    std::string name;     // may hold Latin capitals ("ABC")
    std::string phone;    // "0571-88881234", sometimes "0571-88881234 / 88881235"
    std::string fax;      // "0571-88881239"; empty when the company has none
    std::string contact;  // the person the marketplace names
    std::string manager;  // legal representative
    std::string address;
    std::string postcode;     // six digits
    std::string email;        // lower-case; what a web search for the name can find
    std::string website;      // "http://www.huaxin.com"; empty when the company has none
    std::string employees;    // decimal, or empty
    std::string products;     // or empty
    std::string description;  // or empty
};

}  // namespace velmora::demo
