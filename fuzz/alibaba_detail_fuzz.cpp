// Contact pages of the Alibaba company search (source 2) through the page
// check and the detail parser, as a detail step runs them.
//
// Input: 4 bytes index I and 4 bytes detail row D of the work key
// (little-endian; D = 0 reads as 1), then the page as fetched.
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz/reference_scan.h"
#include "fuzz/site_page_steps.h"
#include "platform/gbk.h"
#include "sources/alibaba/alibaba_source.h"

namespace velmora {
namespace {

using fuzz::ref::Pos;
namespace ref = fuzz::ref;

// Longer pages skip the literal comparison, whose scans are byte by byte.
constexpr size_t kReferenceLimit = 65536;

// A labelled list item: the window from `offset` bytes behind the label's
// first byte to the first "</li>" that starts after the label (the page end
// when there is none); what remains starts at that "</li>".
bool referenceWindow(std::string& rest, const std::string& label, Pos offset, std::string& window) {
    Pos p = ref::find(rest, label);
    if (p == 0) return false;
    Pos li = ref::find(rest, "</li>", p + ref::len(label));
    window = ref::cut(rest, p + offset, li == 0 ? ref::len(rest) + 1 : li);
    rest = li == 0 ? std::string() : ref::tail(rest, li);
    return true;
}

RecordSlot referenceDetail(std::string_view page) {
    static const std::string kPhone = gbk::fromUtf8("电&nbsp;&nbsp;&nbsp;&nbsp;话");
    static const std::string kFax = gbk::fromUtf8("传&nbsp;&nbsp;&nbsp;&nbsp;真");
    static const std::string kAddress = gbk::fromUtf8("地&nbsp;&nbsp;&nbsp;&nbsp;址");
    static const std::string kPostcode = gbk::fromUtf8("邮&nbsp;&nbsp;&nbsp;&nbsp;编");
    static const std::string kHomepage = gbk::fromUtf8("公司主页：");
    const std::string kContact = "comy_cont_toclub";

    RecordSlot slot;
    std::string rest(page);

    // Name: "class=" + quote + "chinaname", then ">" (clamp: p), then "<".
    if (Pos p = ref::find(rest, "class=\"chinaname"); p != 0) {
        Pos open = ref::scanForward(rest, ">", p, p);
        Pos close = ref::scanForward(rest, "<", open, ref::len(rest));
        slot[Field::Name] = ref::trim(ref::cut(rest, open + 1, close));
        rest = ref::tail(rest, close);
    }
    // Contact: at the third occurrence of the marker when there are three,
    // else at the first; 20 bytes behind its start up to "</a>".
    if (Pos p1 = ref::find(rest, kContact); p1 != 0) {
        Pos p2 = ref::scanForward(rest, kContact, p1 + 16, 0);
        Pos p3 = p2 == 0 ? 0 : ref::scanForward(rest, kContact, p2, 0);
        Pos from = p3 != 0 ? p3 : p1;
        Pos end = ref::scanForward(rest, "</a>", from, ref::len(rest));
        slot[Field::Contact] = ref::cut(rest, from + 20, end);
        rest = ref::tail(rest, end);
    }
    std::string window;
    if (referenceWindow(rest, kPhone, 27, window))
        slot[Field::Phone] = ref::digitFilter(ref::trim(window));
    if (referenceWindow(rest, kFax, 27, window))
        slot[Field::Fax] = ref::digitFilter(ref::trim(window));
    if (referenceWindow(rest, kAddress, 30, window)) slot[Field::Address] = ref::trim(window);
    if (referenceWindow(rest, kPostcode, 30, window)) slot[Field::Postcode] = ref::trim(window);
    if (Pos p = ref::find(rest, kHomepage); p != 0) {
        Pos a = ref::scanForward(rest, "\"_blank\">", p + 10, ref::len(rest));
        Pos b = ref::scanForward(rest, "</a>", a + 9, ref::len(rest));
        std::string website = ref::cut(rest, a + 9, b);
        if (website.find("alibaba") == std::string::npos) slot[Field::Website] = website;
    }
    return slot;
}

// Digit groups joined by single spaces, with the one leading space that the
// label's last byte gives.
bool digitGroups(const std::string& s) {
    if (s.empty()) return true;
    if (s.back() == ' ' || s.find("  ") != std::string::npos) return false;
    for (char c : s)
        if (c != ' ' && (c < '0' || c > '9')) return false;
    return true;
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    const fuzz::DetailInput input = fuzz::readDetailInput(data, size);
    static const AlibabaSource source;
    const std::optional<WorkForm> form = fuzz::runDetailStep(source, 2, input);
    if (!form) return 0;
    const std::string& lowered = input.page.lowered;

    const RecordSlot& slot = form->slot;
    FUZZ_CHECK(slot[Field::Manager].empty() && slot[Field::Email].empty() &&
               slot[Field::Profile].empty());
    FUZZ_CHECK(digitGroups(slot[Field::Phone]) && digitGroups(slot[Field::Fax]));
    FUZZ_CHECK(slot[Field::Website].find("alibaba") == std::string::npos);
    // Every other value is a piece of the page.
    for (Field f : {Field::Name, Field::Contact, Field::Address, Field::Postcode, Field::Website})
        FUZZ_CHECK(lowered.find(slot[f]) != std::string::npos);
    if (lowered.size() <= kReferenceLimit) FUZZ_CHECK(slot == referenceDetail(lowered));
    return 0;
}
