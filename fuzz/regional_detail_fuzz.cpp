// Company pages of the regional directory (source 7) through the page check
// and the detail parser, as a detail step runs them (without the e-mail
// lookup, which needs the network).
//
// Input: 4 bytes index I and 4 bytes detail row D of the work key
// (little-endian; D = 0 reads as 1), then the page as fetched.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz/reference_scan.h"
#include "fuzz/site_page_steps.h"
#include "platform/gbk.h"
#include "sources/regional/regional_source.h"

namespace velmora {
namespace {

using fuzz::ref::Pos;

// Longer pages skip the literal comparison: its tag removal is quadratic.
constexpr size_t kReferenceLimit = 16384;

// The value behind a label as the site rule states it; false when the label
// does not occur.
bool referenceValue(std::string_view page, const std::string& label, std::string& value) {
    Pos p = fuzz::ref::find(page, label);
    if (p == 0) return false;
    Pos end = fuzz::ref::scanForward(page, "</tr>", p + 10, fuzz::ref::len(page) + 1);
    value = fuzz::ref::trim(fuzz::ref::removeTags(fuzz::ref::cut(page, p + 10, end)));
    return true;
}

RecordSlot referenceDetail(std::string_view page) {
    static const std::array<std::string, 8> kSlotLabels = {
        gbk::fromUtf8("单位名称："), gbk::fromUtf8("固定电话："), gbk::fromUtf8("传真号码："),
        gbk::fromUtf8("法人代表："), gbk::fromUtf8("单位地址："), gbk::fromUtf8("邮政编码："),
        gbk::fromUtf8("电子邮件："), gbk::fromUtf8("单位网址：")};
    static const std::array<Field, 8> kSlotFields = {
        Field::Name,    Field::Phone,    Field::Fax,   Field::Manager,
        Field::Address, Field::Postcode, Field::Email, Field::Website};
    static const std::string kEmployees = gbk::fromUtf8("雇员人数：");
    static const std::string kProducts = gbk::fromUtf8("产品服务：");
    static const std::string kDescription = gbk::fromUtf8("单位描述：");

    RecordSlot slot;
    for (size_t i = 0; i < kSlotLabels.size(); ++i) {
        std::string value;
        if (referenceValue(page, kSlotLabels[i], value)) slot[kSlotFields[i]] = value;
    }
    if (slot[Field::Fax].size() < 5) slot[Field::Fax].clear();
    std::string employees, products, description;
    referenceValue(page, kEmployees, employees);
    referenceValue(page, kProducts, products);
    referenceValue(page, kDescription, description);
    std::string profile;
    if (!employees.empty())
        profile += gbk::fromUtf8("公司现有职工") + employees + gbk::fromUtf8("人，");
    if (!products.empty()) profile += gbk::fromUtf8("主要经营") + products + gbk::fromUtf8("。");
    profile += description;
    slot[Field::Profile] = profile;
    return slot;
}

bool trimmed(const std::string& s) {
    return s.empty() || (static_cast<unsigned char>(s.front()) > 32 &&
                         static_cast<unsigned char>(s.back()) > 32);
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    const fuzz::DetailInput input = fuzz::readDetailInput(data, size);
    static const RegionalSource source("http://dir.example");
    const std::optional<WorkForm> form = fuzz::runDetailStep(source, 7, input);
    if (!form) return 0;
    const std::string& lowered = input.page.lowered;

    const RecordSlot& slot = form->slot;
    FUZZ_CHECK(slot[Field::Contact].empty());  // this site has no contact person
    FUZZ_CHECK(slot[Field::Fax].empty() || slot[Field::Fax].size() >= 5);
    for (const std::string& field : slot.fields) {
        FUZZ_CHECK(field.find('<') == std::string::npos);  // tags and stray "<" are gone
    }
    for (int f = 0; f < kSlotFields - 1; ++f) FUZZ_CHECK(trimmed(slot.fields[f]));
    if (lowered.size() <= kReferenceLimit) FUZZ_CHECK(slot == referenceDetail(lowered));
    return 0;
}
