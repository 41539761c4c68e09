#include "demo/region_table.h"

#include "platform/gbk.h"

namespace velmora::demo {
namespace {

struct CityRow {
    const char* name;  // UTF-8, without "市"
    const char* area;
    const char* postcode;
};

struct RegionRow {
    const char* code;
    const char* fullName;  // UTF-8
    bool municipality;
    std::vector<CityRow> cities;
};

const std::vector<RegionRow>& rows() {
    static const std::vector<RegionRow> k = {
        {"110000", "北京市", true, {{"北京", "010", "100"}}},
        {"310000", "上海市", true, {{"上海", "021", "200"}}},
        {"120000", "天津市", true, {{"天津", "022", "300"}}},
        {"500000", "重庆市", true, {{"重庆", "023", "400"}}},
        {"440000",
         "广东省",
         false,
         {{"广州", "020", "510"}, {"深圳", "0755", "518"}, {"东莞", "0769", "523"}}},
        {"460000", "海南省", false, {{"海口", "0898", "570"}, {"三亚", "0898", "572"}}},
        {"450000", "广西壮族自治区", false, {{"南宁", "0771", "530"}, {"柳州", "0772", "545"}}},
        {"350000", "福建省", false, {{"福州", "0591", "350"}, {"厦门", "0592", "361"}}},
        {"330000",
         "浙江省",
         false,
         {{"杭州", "0571", "310"}, {"宁波", "0574", "315"}, {"温州", "0577", "325"}}},
        {"360000", "江西省", false, {{"南昌", "0791", "330"}, {"赣州", "0797", "341"}}},
        {"520000", "贵州省", false, {{"贵阳", "0851", "550"}, {"遵义", "0851", "563"}}},
        {"510000", "四川省", false, {{"成都", "028", "610"}, {"绵阳", "0816", "621"}}},
        {"530000", "云南省", false, {{"昆明", "0871", "650"}, {"曲靖", "0874", "655"}}},
        {"610000", "陕西省", false, {{"西安", "029", "710"}, {"宝鸡", "0917", "721"}}},
        {"620000", "甘肃省", false, {{"兰州", "0931", "730"}, {"天水", "0938", "741"}}},
        {"630000", "青海省", false, {{"西宁", "0971", "810"}}},
        {"230000", "黑龙江省", false, {{"哈尔滨", "0451", "150"}, {"大庆", "0459", "163"}}},
        {"220000", "吉林省", false, {{"长春", "0431", "130"}, {"吉林", "0432", "132"}}},
        {"130000", "河北省", false, {{"石家庄", "0311", "050"}, {"唐山", "0315", "063"}}},
        {"140000", "山西省", false, {{"太原", "0351", "030"}, {"大同", "0352", "037"}}},
        {"150000", "内蒙古自治区", false, {{"呼和浩特", "0471", "010"}, {"包头", "0472", "014"}}},
        {"320000",
         "江苏省",
         false,
         {{"南京", "025", "210"}, {"苏州", "0512", "215"}, {"无锡", "0510", "214"}}},
        {"210000", "辽宁省", false, {{"沈阳", "024", "110"}, {"大连", "0411", "116"}}},
        {"340000", "安徽省", false, {{"合肥", "0551", "230"}, {"芜湖", "0553", "241"}}},
        {"370000", "山东省", false, {{"济南", "0531", "250"}, {"青岛", "0532", "266"}}},
        {"430000", "湖南省", false, {{"长沙", "0731", "410"}, {"株洲", "0731", "412"}}},
        {"420000", "湖北省", false, {{"武汉", "027", "430"}, {"宜昌", "0717", "443"}}},
        {"410000", "河南省", false, {{"郑州", "0371", "450"}, {"洛阳", "0379", "471"}}},
        {"640000", "宁夏回族自治区", false, {{"银川", "0951", "750"}}},
        {"650000", "新疆维吾尔自治区", false, {{"乌鲁木齐", "0991", "830"}}},
        {"540000", "西藏自治区", false, {{"拉萨", "0891", "850"}}},
        {"810000", "香港特别行政区", false, {{"香港", "00852", "999"}}},
        {"820000", "澳门特别行政区", false, {{"澳门", "00853", "999"}}},
        {"710000", "台湾省", false, {{"台北", "00886", "100"}}},
    };
    return k;
}

}  // namespace

const std::vector<Region>& regions() {
    static const std::vector<Region> k = [] {
        static const std::string kCitySuffix = gbk::fromUtf8("市");
        std::vector<Region> out;
        for (const RegionRow& row : rows()) {
            Region region{row.code, gbk::fromUtf8(row.fullName), {}, row.municipality};
            for (const CityRow& c : row.cities) {
                std::string shortName = gbk::fromUtf8(c.name);
                // Hong Kong and Macau are no "市".
                bool special = std::string_view(row.code) == "810000" ||
                               std::string_view(row.code) == "820000";
                region.cities.push_back(
                    {special ? shortName : shortName + kCitySuffix, shortName, c.area, c.postcode});
            }
            out.push_back(std::move(region));
        }
        return out;
    }();
    return k;
}

const Region* regionOf(std::string_view code) {
    for (const Region& r : regions())
        if (r.code == code) return &r;
    return nullptr;
}

}  // namespace velmora::demo
