#include "demo/scriptdirectory/script_directory_look.h"

#include <charconv>

#include "platform/gbk.h"
#include "sources/framework/escaping.h"
#include "sources/framework/text_scan.h"

namespace velmora::demo {
namespace {

constexpr std::uint64_t kIdBase = 20000000;

// Paragraphs that every introduction of the directory ends with; each ends
// on a Chinese character and a full stop, and none holds "<", ">" or a
// double quote.
const std::vector<std::string>& stockParagraphs() {
    static const std::vector<std::string> k = [] {
        std::vector<std::string> v;
        for (const char* utf8 : {
                 "公司拥有一支高素质的技术队伍和管理团队，引进国内外先进的生产设备和检测仪器，"
                 "建立了完善的质量管理体系，产品质量稳定可靠，多次获得省市级优质产品称号。",
                 "我们始终坚持以市场为导向、以科技为先导、以质量求生存、以信誉求发展的经营理念，"
                 "不断开发新产品，努力为客户提供优质的产品和完善的售前售后服务。",
                 "公司交通便利，环境优美，厂区占地面积一万余平方米，年生产能力居同行业前列，"
                 "销售网络遍布全国各大中城市，并在多个省份设有办事处和售后服务网点。",
                 "热忱欢迎各界朋友莅临参观、考察、洽谈业务，我们愿与国内外客商真诚合作，"
                 "携手并进，共同发展，共创辉煌的明天。",
             })
            v.push_back(gbk::fromUtf8(utf8));
        return v;
    }();
    return k;
}

std::string lower(const std::string& s) {
    return text::lowerAscii(s);
}

// A form value decoded, or false when it is not in the form encoding the
// harvester's HTTP client produces (encoding the result again must give the
// value back byte for byte).
bool formDecode(std::string_view raw, std::string& value) {
    value.clear();
    for (size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (c == '+') {
            value.push_back(' ');
        } else if (c == '%') {
            if (i + 2 >= raw.size()) return false;
            unsigned byte = 0;
            auto [end, ec] = std::from_chars(raw.data() + i + 1, raw.data() + i + 3, byte, 16);
            if (ec != std::errc() || end != raw.data() + i + 3) return false;
            value.push_back(static_cast<char>(byte));
            i += 2;
        } else {
            value.push_back(c);
        }
    }
    return text::formValueEncode(value) == raw;
}

}  // namespace

int scriptPoolIndex(const CompanySet& set, int index) {
    return set.alibabaShift / 2 + index;
}

std::uint64_t scriptCompanyId(std::uint64_t regionalId) {
    return kIdBase + regionalId;
}

bool scriptRegionalId(std::uint64_t companyId, std::uint64_t& regionalId) {
    if (companyId <= kIdBase) return false;
    regionalId = companyId - kIdBase;
    return true;
}

ScriptLook scriptLook(int i) {
    using Calls = ScriptLook::Calls;
    using Heading = ScriptLook::Heading;
    using Email = ScriptLook::Email;
    static constexpr Calls kCalls[] = {Calls::BriefAndInfo, Calls::InfoOnly, Calls::InfoFirst,
                                       Calls::BriefAndInfo, Calls::InfoOnly};
    static constexpr Heading kHeading[] = {Heading::Detailed, Heading::Basic, Heading::Comment,
                                           Heading::Detailed};
    static constexpr Email kEmail[] = {Email::Plain, Email::Mailto, Email::None, Email::Mailto,
                                       Email::Plain, Email::Mailto, Email::Plain};
    ScriptLook look;
    look.calls = kCalls[i % 5];
    look.heading = kHeading[i % 4];
    look.email = kEmail[i % 7];
    look.websiteLink = i % 2 == 0;
    look.areaCodeInBrackets = i % 3 == 0;
    look.paddedName = i % 4 == 2 && look.calls != Calls::InfoOnly;
    return look;
}

Company scriptServed(const Company& company, PageDamage damage) {
    static const std::string kNoDescription =
        gbk::fromUtf8("本公司是一家专业生产企业，产品质量可靠，欢迎来电咨询洽谈业务。");
    return withDamagedDescription(company, damage, kNoDescription);
}

std::vector<std::string> scriptProfileSentences(const Company& c, PageDamage damage) {
    static const std::string kProducts = gbk::fromUtf8("主要产品有");
    static const std::string kProductsEnd = gbk::fromUtf8("等。");
    static const std::string kStaff = gbk::fromUtf8("公司现有员工");
    static const std::string kStaffEnd = gbk::fromUtf8("人，其中各类专业技术人员占三成以上。");
    if (damage != PageDamage::None) return {c.description};
    if (c.description.empty() && c.products.empty() && c.employees.empty()) return {};
    std::vector<std::string> out;
    if (!c.description.empty()) out.push_back(c.description);
    if (!c.products.empty()) out.push_back(kProducts + c.products + kProductsEnd);
    if (!c.employees.empty()) out.push_back(kStaff + c.employees + kStaffEnd);
    const auto& stock = stockParagraphs();
    auto first = static_cast<size_t>(c.poolIndex) % stock.size();
    out.push_back(stock[first]);
    out.push_back(stock[(first + 1) % stock.size()]);
    return out;
}

std::string scriptNumber(const std::string& number, const ScriptLook& look) {
    size_t dash = number.find('-');
    if (!look.areaCodeInBrackets || dash == std::string::npos) return number;
    return "(" + number.substr(0, dash) + ")" + number.substr(dash + 1);
}

RecordSlot scriptRecord(const Company& c, PageDamage damage) {
    ScriptLook look = scriptLook(c.poolIndex);
    RecordSlot r;
    r[Field::Name] = lower(c.name);
    r[Field::Phone] = lower(scriptNumber(c.phone, look));
    r[Field::Contact] = lower(c.contact);
    r[Field::Manager] = lower(c.manager);
    r[Field::Address] = lower(c.address);
    r[Field::Postcode] = lower(c.postcode);
    if (look.email != ScriptLook::Email::None) r[Field::Email] = lower(c.email);
    r[Field::Website] = lower(c.website);
    r[Field::Fax] = lower(scriptNumber(c.fax, look));
    std::string profile;
    for (const std::string& sentence : scriptProfileSentences(c, damage)) profile += sentence;
    r[Field::Profile] = lower(profile);
    return r;
}

bool parseScriptSearchBody(std::string_view body, ScriptSearch& search) {
    static constexpr std::string_view kNames[] = {"provinceCN=", "key_word=", "page_index="};
    std::string values[3];
    for (int i = 0; i < 3; ++i) {
        if (!body.starts_with(kNames[i])) return false;
        body.remove_prefix(kNames[i].size());
        size_t amp = body.find('&');
        if ((amp == std::string_view::npos) != (i == 2)) return false;
        if (!formDecode(body.substr(0, amp), values[i])) return false;
        body.remove_prefix(amp == std::string_view::npos ? body.size() : amp + 1);
    }
    const std::string& page = values[2];
    int index = -1;
    auto [end, ec] = std::from_chars(page.data(), page.data() + page.size(), index);
    if (page.empty() || ec != std::errc() || end != page.data() + page.size() || index < 0 ||
        index > 1000000 || std::to_string(index) != page)
        return false;
    search = ScriptSearch{values[0], values[1], index};
    return true;
}

}  // namespace velmora::demo
