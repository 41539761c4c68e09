#include "app/engine/provinces.h"

#include <utility>

#include "platform/gbk.h"

namespace velmora::provinces {
namespace {

struct Province {
    const char* nameUtf8;
    const char* code;
};

// In province box order.
constexpr Province kProvinces[] = {
    {"北京", "110000"},   {"上海", "310000"}, {"天津", "120000"}, {"重庆", "500000"},
    {"广东", "440000"},   {"海南", "460000"}, {"广西", "450000"}, {"福建", "350000"},
    {"浙江", "330000"},   {"江西", "360000"}, {"贵州", "520000"}, {"四川", "510000"},
    {"云南", "530000"},   {"陕西", "610000"}, {"甘肃", "620000"}, {"青海", "630000"},
    {"黑龙江", "230000"}, {"吉林", "220000"}, {"河北", "130000"}, {"山西", "140000"},
    {"内蒙古", "150000"}, {"江苏", "320000"}, {"辽宁", "210000"}, {"安徽", "340000"},
    {"山东", "370000"},   {"湖南", "430000"}, {"湖北", "420000"}, {"河南", "410000"},
    {"宁夏", "640000"},   {"新疆", "650000"}, {"西藏", "540000"}, {"香港", "810000"},
    {"澳门", "820000"},   {"台湾", "710000"}, {"其它", "000000"},
};

const std::vector<std::pair<std::string, std::string>>& table() {
    static const auto t = [] {
        std::vector<std::pair<std::string, std::string>> v;
        for (const auto& p : kProvinces) v.emplace_back(gbk::fromUtf8(p.nameUtf8), p.code);
        return v;
    }();
    return t;
}

}  // namespace

const std::string& placeholder() {
    static const std::string k = gbk::fromUtf8("(省份)");
    return k;
}

const std::vector<std::string>& boxEntries() {
    static const auto entries = [] {
        std::vector<std::string> v{placeholder()};
        for (const auto& [name, code] : table()) v.push_back(name);
        return v;
    }();
    return entries;
}

std::string codeOf(std::string_view gbkName) {
    for (const auto& [name, code] : table())
        if (name == gbkName) return code;
    return "000000";
}

}  // namespace velmora::provinces
