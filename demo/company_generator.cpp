#include "demo/company_generator.h"

#include <set>
#include <string>

#include "demo/demo_random.h"
#include "demo/name_identity.h"
#include "demo/region_table.h"
#include "platform/gbk.h"
#include "sources/framework/text_scan.h"

namespace velmora::demo {
namespace {

using Words = std::vector<std::string>;

Words gbkWords(std::initializer_list<const char*> utf8) {
    Words out;
    for (const char* w : utf8) out.push_back(gbk::fromUtf8(w));
    return out;
}

const Words& tradeNames() {
    static const Words k =
        gbkWords({"华鑫", "宏达", "金泰", "永盛", "恒通", "新源", "天成", "瑞丰", "鼎盛", "嘉禾",
                  "富康", "东方", "博远", "盛世", "中联", "海润", "安泰", "兴业", "万隆", "正大",
                  "利华", "佳美", "龙腾", "明辉", "德邦", "隆鑫", "志成", "景福", "腾飞", "广源"});
    return k;
}

// Trade names in Latin letters, capitals on purpose: the harvested values are
// lower-cased.
const Words& latinNames() {
    static const Words k = {"ABC", "KMT", "Sunrise", "NEO", "GT", "Bright"};
    return k;
}

const Words& trades() {
    static const Words k =
        gbkWords({"电子科技", "机械制造", "塑料制品", "五金制品", "服装", "化工", "包装材料",
                  "光电科技", "纺织品", "食品", "医疗器械", "建材", "汽车配件", "照明电器", "家具",
                  "精密模具", "环保设备", "网络科技"});
    return k;
}

const Words& productWords() {
    static const Words k = gbkWords(
        {"电子元器件", "注塑件",   "不锈钢制品", "工业阀门", "LED灯具",    "包装纸箱", "纺织面料",
         "五金配件",   "数控机床", "塑料薄膜",   "电线电缆", "医用耗材",   "建筑涂料", "汽车坐垫",
         "办公家具",   "精密模具", "水处理设备", "网络设备", "食品添加剂", "童装"});
    return k;
}

const Words& surnames() {
    static const Words k = gbkWords({"张", "王", "李", "赵", "陈", "刘", "杨", "黄", "周", "吴",
                                     "徐", "孙", "马", "朱", "胡", "郭", "何", "林", "高", "罗"});
    return k;
}

const Words& givenNames() {
    static const Words k =
        gbkWords({"伟", "芳", "娜", "敏", "静", "强",   "磊",   "军",   "洋",   "勇",
                  "艳", "杰", "涛", "明", "超", "秀英", "建华", "志强", "海燕", "国庆"});
    return k;
}

const Words& latinContacts() {
    static const Words k = {"Mr. Wang", "Ms. Li", "Jack Zhang", "Lily Chen", "Mr. Zhou"};
    return k;
}

const Words& districts() {
    static const Words k = gbkWords({"高新技术开发区", "经济开发区", "工业园区", "城南区", "城北区",
                                     "新城区", "滨江区", "开发区"});
    return k;
}

const Words& roads() {
    static const Words k = gbkWords({"人民路", "解放路", "建设路", "中山路", "工业大道", "科技路",
                                     "文化路", "长江路", "黄河路", "创业路", "环城东路", "新华街"});
    return k;
}

const Words& buildings() {
    // Latin capitals again ("B座" is harvested as "b座").
    static const Words k = gbkWords({"A座", "B座", "C栋", "2号楼"});
    return k;
}

const Words& descriptionOpenings() {
    static const Words k = gbkWords({
        "本公司成立于%年，是一家集研发、生产、销售于一体的现代化企业。",
        "公司创建于%年，专业从事相关产品的设计与制造。",
        "我公司始建于%年，拥有先进的生产设备和完善的检测手段。",
    });
    return k;
}

const Words& descriptionClosings() {
    static const Words k = gbkWords({
        "公司秉承“质量第一、信誉至上”的宗旨，竭诚为广大客户服务。",
        "产品远销欧美、东南亚等国家和地区，深受用户好评。",
        "欢迎新老客户来电洽谈，共创美好未来！",
        "",
    });
    return k;
}

std::string digits(Rng& rng, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s.push_back(static_cast<char>('0' + rng.below(10)));
    return s;
}

std::string localNumber(Rng& rng) {
    return std::to_string(rng.between(2, 8)) + digits(rng, 7);
}

std::string replaceYear(const std::string& sentence, int year) {
    std::string out = sentence;
    size_t mark = out.find('%');
    if (mark != std::string::npos) out.replace(mark, 1, std::to_string(year));
    return out;
}

}  // namespace

std::vector<Company> generateCompanies(std::string_view keyword, std::string_view provinceCode,
                                       std::uint32_t seed, int count) {
    static const std::string kLimited = gbk::fromUtf8("有限公司");
    static const std::string kHao = gbk::fromUtf8("号");
    static const std::string kRoom = gbk::fromUtf8("室");
    static const std::string kMister = gbk::fromUtf8("先生");
    static const std::string kMadam = gbk::fromUtf8("女士");
    static const std::string kListComma = gbk::fromUtf8("、");
    static const std::string kBranch = gbk::fromUtf8("分公司");

    Rng rng(fnv1a(keyword, fnv1a(provinceCode)) ^ mix64(seed));
    const Region* chosen = regionOf(provinceCode);
    std::set<std::string> taken;  // lower-cased names: the harvester's list compares those
    std::vector<Company> out;
    out.reserve(static_cast<size_t>(count > 0 ? count : 0));

    for (int i = 0; i < count; ++i) {
        Company c;
        c.poolIndex = i;
        const Region& region = chosen ? *chosen : rng.pick(regions());
        const City& city = rng.pick(region.cities);
        const std::string& trade = rng.pick(trades());

        for (int attempt = 0;; ++attempt) {
            const std::string& tradeName =
                i % 8 == 3 ? rng.pick(latinNames()) : rng.pick(tradeNames());
            const std::string& body = !keyword.empty() && i % 3 == 0 ? std::string(keyword) : trade;
            c.name = city.shortName + tradeName + body + kLimited;
            if (attempt >= 12)
                c.name = city.shortName + tradeName + body + std::to_string(attempt) + kBranch;
            if (taken.insert(text::lowerAscii(c.name)).second) break;
        }

        c.phone = city.areaCode + "-" + localNumber(rng);
        if (i % 6 == 0) c.phone += " / " + localNumber(rng);
        if (i % 7 != 6) c.fax = city.areaCode + "-" + localNumber(rng);

        const std::string& surname = rng.pick(surnames());
        if (i % 9 == 5)
            c.contact = rng.pick(latinContacts());
        else if (rng.chance(60))
            c.contact = surname + (rng.chance(50) ? kMister : kMadam);
        else
            c.contact = surname + rng.pick(givenNames());
        c.manager = rng.pick(surnames()) + rng.pick(givenNames());

        c.address = region.municipality ? region.fullName : region.fullName + city.fullName;
        c.address +=
            rng.pick(districts()) + rng.pick(roads()) + std::to_string(rng.between(1, 999)) + kHao;
        if (i % 5 == 1)
            c.address += rng.pick(buildings()) + std::to_string(rng.between(101, 2308)) + kRoom;
        c.postcode = city.postcodePrefix + digits(rng, 3);

        NameIdentity identity = nameIdentity(text::lowerAscii(c.name), seed);
        c.email = identity.email;
        if (i % 3 != 2) c.website = "http://www." + identity.domain;

        bool noProfile = i % 11 == 7;
        bool productsOnly = i % 13 == 5;
        if (!noProfile && !productsOnly && i % 5 != 3)
            c.employees = std::to_string(rng.between(8, 2400));
        if (!noProfile && (productsOnly || i % 4 != 1)) {
            std::string first = keyword.empty() ? rng.pick(productWords()) : std::string(keyword);
            c.products = first + kListComma + rng.pick(productWords()) + kListComma +
                         rng.pick(productWords());
        }
        if (!noProfile && !productsOnly && i % 6 != 2) {
            int year = rng.between(1985, 2008);
            c.description = replaceYear(rng.pick(descriptionOpenings()), year) +
                            rng.pick(descriptionClosings());
        }
        out.push_back(std::move(c));
    }
    return out;
}

}  // namespace velmora::demo
