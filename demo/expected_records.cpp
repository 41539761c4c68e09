#include "demo/expected_records.h"

#include "demo/name_identity.h"
#include "demo/site_looks.h"
#include "demo/websearch/web_search_pages.h"
#include "platform/gbk.h"
#include "sources/framework/text_scan.h"

namespace velmora::demo {
namespace {

std::string lower(const std::string& s) {
    return text::lowerAscii(s);
}

// The marketplace's number reading: digit groups, each behind one space
// (the text in front of the first digit is never empty).
std::string digitGroups(const std::string& s) {
    std::string out;
    bool inDigits = false;
    for (char c : s) {
        bool digit = c >= '0' && c <= '9';
        if (digit && !inDigits) out.push_back(' ');
        if (digit) out.push_back(c);
        inDigits = digit;
    }
    return out;
}

}  // namespace

RecordSlot regionalRecord(const Company& c, const std::string& address, std::uint32_t seed) {
    static const std::string kStaff = gbk::fromUtf8("公司现有职工");
    static const std::string kStaffEnd = gbk::fromUtf8("人，");
    static const std::string kDealsIn = gbk::fromUtf8("主要经营");
    static const std::string kFullStop = gbk::fromUtf8("。");

    RegionalLook look = regionalLook(c.poolIndex);
    RecordSlot r;
    r[Field::Name] = lower(c.name);
    r[Field::Phone] = lower(c.phone);
    if (look.fax == RegionalLook::Fax::Plain && c.fax.size() >= 5) r[Field::Fax] = lower(c.fax);
    r[Field::Manager] = lower(c.manager);
    r[Field::Address] = lower(c.address);
    r[Field::Postcode] = lower(c.postcode);
    bool emailShown =
        look.email == RegionalLook::Email::Plain || look.email == RegionalLook::Email::Capitals;
    if (emailShown) r[Field::Email] = lower(c.email);
    r[Field::Website] = lower(c.website);

    std::string profile;
    if (!c.employees.empty()) profile += kStaff + lower(c.employees) + kStaffEnd;
    if (!c.products.empty()) profile += kDealsIn + lower(c.products) + kFullStop;
    if (!c.description.empty()) profile += lower(c.description);
    r[Field::Profile] = profile;

    if (!emailShown) {
        // The web search for the name as the harvester has it (lower-cased).
        NameIdentity id = nameIdentity(r[Field::Name], seed);
        if (id.addressHit() != 0) r[Field::Email] = id.email;
        if (r[Field::Website].empty() && id.hitCount() > 0)
            r[Field::Website] = hitUrl(address, r[Field::Name], 1);
    }
    return r;
}

RecordSlot alibabaRecord(const Company& c, PageDamage damage) {
    AlibabaLook look = alibabaLook(c.poolIndex);
    RecordSlot r;
    r[Field::Name] = lower(c.name);
    r[Field::Contact] = lower(c.contact);
    r[Field::Phone] = digitGroups(c.phone);
    if (look.faxItem && !c.fax.empty()) r[Field::Fax] = digitGroups(c.fax);
    r[Field::Address] = lower(std::string(text::trim(c.address)));
    if (damage == PageDamage::Truncated) return r;  // nothing behind the address arrived
    if (look.postcodeItem) r[Field::Postcode] = lower(c.postcode);
    // A marketplace link is no website of the company's own.
    if (look.homepage == AlibabaLook::Homepage::Own) r[Field::Website] = lower(c.website);
    return r;
}

}  // namespace velmora::demo
