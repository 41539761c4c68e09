#include "demo/websearch/homepage_firms.h"

#include <array>
#include <cstdio>

namespace velmora::demo {
namespace {

struct City {
    const char *province, *city, *district, *road, *shortName, *area, *postcode;
};
constexpr std::array<City, 6> kCities = {{
    {"浙江省", "杭州市", "西湖区", "文三路", "杭州", "0571", "310012"},
    {"浙江省", "宁波市", "北仑区", "明州路", "宁波", "0574", "315800"},
    {"江苏省", "苏州市", "吴中区", "东吴北路", "苏州", "0512", "215128"},
    {"广东省", "东莞市", "长安镇", "振安路", "东莞", "0769", "523850"},
    {"山东省", "青岛市", "城阳区", "春阳路", "青岛", "0532", "266109"},
    {"福建省", "泉州市", "丰泽区", "田安路", "泉州", "0595", "362000"},
}};
constexpr std::array<const char*, 15> kTrades = {"恒达", "华通", "金利", "新光", "永盛",
                                                 "宏远", "东方", "天成", "联成", "正泰",
                                                 "长江", "海星", "百利", "瑞丰", "鸿运"};
constexpr std::array<const char*, 15> kDomains = {
    "hengda",     "huatong",  "jinli",     "xinguang",  "yongsheng",
    "hongyuan",   "dongfang", "tiancheng", "liancheng", "zhengtai",
    "changjiang", "haixing",  "baili",     "ruifeng",   "hongyun"};
constexpr std::array<const char*, 10> kBusinesses = {"机械", "阀门", "纺织", "电子", "塑料",
                                                     "五金", "包装", "化工", "服饰", "灯具"};
constexpr std::array<const char*, 10> kProducts = {"数控机床", "不锈钢球阀", "棉纺面料", "电源模块",
                                                   "注塑制品", "精密五金件", "彩印纸箱", "水性涂料",
                                                   "休闲服装", "节能灯具"};
constexpr std::array<const char*, 20> kSurnames = {"张", "王", "李", "赵", "陈", "刘", "周",
                                                   "吴", "徐", "孙", "胡", "朱", "高", "林",
                                                   "何", "郭", "马", "罗", "梁", "宋"};
constexpr std::array<const char*, 16> kGiven = {"伟", "芳", "强", "敏", "军", "丽", "磊", "洋",
                                                "勇", "艳", "杰", "娟", "涛", "明", "超", "霞"};
constexpr std::array<const char*, 6> kLandmarks = {"火车站", "汽车南站", "工业园区",
                                                   "国道口", "高速出口", "开发区管委会"};

std::string digits(unsigned long value, int width) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*lu", width, value);
    return buffer;
}

HomepageFirm makeFirm(int i) {
    const City& c = kCities[static_cast<size_t>(i) % kCities.size()];
    HomepageFirm f;
    f.province = c.province, f.city = c.city, f.district = c.district, f.road = c.road;
    f.cityShort = c.shortName, f.area = c.area, f.postcode = c.postcode;
    f.houseNumber = 8 + (i * 37) % 390;
    f.trade = kTrades[static_cast<size_t>(i) % kTrades.size()];
    f.domain = std::string(kDomains[static_cast<size_t>(i) % kDomains.size()]) +
               (i >= 15 ? std::to_string(i) : std::string());
    f.business = kBusinesses[static_cast<size_t>(i * 3) % kBusinesses.size()];
    f.product = kProducts[static_cast<size_t>(i * 3) % kProducts.size()];
    bool factory = i >= 18 && i < 24 && i % 2 == 1;
    f.name = f.cityShort + f.trade + f.business + (factory ? "制造厂" : "有限公司");
    unsigned long n = static_cast<unsigned long>(i) * 7919ul + 1234567ul;
    f.phone = "8" + digits(n % 10000000ul, 7);
    f.phone2 = "8" + digits((n * 3) % 10000000ul, 7);
    f.fax = "8" + digits((n * 7 + 11) % 10000000ul, 7);
    f.mobile = "139" + digits((n * 13) % 100000000ul, 8);
    f.hotline = "400-826-" + digits(n % 10000ul, 4);
    const char* s1 = kSurnames[static_cast<size_t>(i) % kSurnames.size()];
    const char* s2 = kSurnames[static_cast<size_t>(i + 7) % kSurnames.size()];
    const char* s3 = kSurnames[static_cast<size_t>(i + 13) % kSurnames.size()];
    f.surname = s1;
    f.contact = std::string(s1) + (i % 3 == 0 ? "先生" : i % 3 == 1 ? "小姐" : kGiven[i % 16]);
    f.contact2 = std::string(s2) + kGiven[static_cast<size_t>(i + 5) % kGiven.size()];
    f.manager = std::string(s3) + kGiven[static_cast<size_t>(i + 3) % kGiven.size()] +
                (i % 2 == 0 ? kGiven[static_cast<size_t>(i + 9) % kGiven.size()] : "");
    f.landmark = kLandmarks[static_cast<size_t>(i) % kLandmarks.size()];
    f.founded = 1988 + i % 15;
    return f;
}

}  // namespace

std::string HomepageFirm::address() const {
    return province + city + district + road + std::to_string(houseNumber) + "号";
}

std::string HomepageFirm::email() const {
    return "sales@" + domain + ".com";
}

const std::vector<HomepageFirm>& homepageFirms() {
    static const std::vector<HomepageFirm> firms = [] {
        std::vector<HomepageFirm> v;
        for (int i = 0; i < 30; ++i) v.push_back(makeFirm(i));
        return v;
    }();
    return firms;
}

std::string introduction(const HomepageFirm& f) {
    return "位于" + f.province + f.city + "，是一家专业从事" + f.business +
           "产品研发、生产和销售的现代化企业。企业拥有先进的生产设备和完善的检测手段，产品"
           "通过ISO9001国际质量体系认证，远销欧美、中东及东南亚等二十多个国家和地区，深受国内"
           "外客户的信赖与好评。我们始终坚持质量第一、信誉至上的经营宗旨，以优质的产品、合理的"
           "价格和完善的售后服务，竭诚与各界朋友真诚合作，共创美好未来。主要产品有" +
           f.product + "、" + f.business +
           "成套设备及各类非标产品，规格齐全，品种繁多，可根据客户要求设计制造，欢迎新老客户"
           "来人来函洽谈业务。多年来，企业不断引进国外先进技术，培养了一支高素质的技术和管理"
           "队伍，年生产能力达到五十万台套，产值逾亿元。展望未来，我们将以更加饱满的热情，不断"
           "开拓创新，为客户提供更多更好的产品和服务。";
}

}  // namespace velmora::demo
