#include "demo/detaildirectory/expected_detaildirectory.h"

#include "demo/name_identity.h"
#include "demo/detaildirectory/page_layout_detaildirectory.h"
#include "demo/websearch/web_search_pages.h"
#include "sources/framework/text_scan.h"

namespace velmora::demo {
namespace {

std::string lower(const std::string& s) {
    return text::lowerAscii(s);
}

std::string without(std::string s, const std::string& piece) {
    for (std::size_t at; (at = s.find(piece)) != std::string::npos;) s.erase(at, piece.size());
    return s;
}

// The directory's number reading: digit groups joined by one space, one
// space in front when the text starts with something else.
std::string digitGroups(const std::string& s) {
    std::string out;
    bool gap = false;
    for (char c : s) {
        bool digit = c >= '0' && c <= '9';
        if (digit && gap) out.push_back(' ');
        if (digit) out.push_back(c);
        gap = !digit;
    }
    return out;
}

// The introduction as the list shows it: tags gone, cut to 289 or 290 bytes
// (never inside a character) when it is 400 bytes or longer, dots appended,
// blanks and "&nbsp;" taken out.
std::string profile(const Company& c, const DetailDirectoryLook& look) {
    std::string text = lower(detailDirectoryIntroduction(c, look));
    text = without(text, "<br>");
    if (text.size() >= 400) text.resize(text::isTrailByteAt(text, 290) ? 290 : 289);
    text += "......";
    text = without(without(text, " "), "&nbsp;");
    return std::string(text::trim(text));
}

}  // namespace

RecordSlot detailDirectoryRecord(const Company& c, PageDamage damage, const std::string& address,
                                 std::uint32_t seed) {
    using Email = DetailDirectoryLook::Email;
    DetailDirectoryLook look = detailDirectoryLook(c.poolIndex, damage);
    RecordSlot r;
    r[Field::Name] = lower(c.name);
    r[Field::Contact] = without(lower(c.contact), " ");
    std::string phone = c.phone;
    if (look.bracketedArea) phone = "(" + c.phone;
    r[Field::Phone] = digitGroups(phone);
    r[Field::Fax] = digitGroups(c.fax);
    r[Field::Manager] = without(lower(c.manager), " ");
    r[Field::Address] = without(lower(c.address), " ");
    r[Field::Postcode] = c.postcode;
    if (look.email == Email::Mailto || look.email == Email::MailtoCapitals)
        r[Field::Email] = lower(c.email);
    if (look.website == DetailDirectoryLook::Website::Unquoted)
        r[Field::Website] = lower(c.website);
    if (look.hasIntroduction())
        r[Field::Profile] = damage == PageDamage::Truncated ? "......" : profile(c, look);

    if (r[Field::Email].empty()) {
        // The web search for the name as the harvester has it (lower-cased).
        NameIdentity id = nameIdentity(r[Field::Name], seed);
        if (id.addressHit() != 0) r[Field::Email] = id.email;
        if (r[Field::Website].empty() && id.hitCount() > 0)
            r[Field::Website] = hitUrl(address, r[Field::Name], 1);
    }
    return r;
}

}  // namespace velmora::demo
