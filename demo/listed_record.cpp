#include "demo/listed_record.h"

#include "demo/name_identity.h"
#include "demo/websearch/web_search_pages.h"
#include "sources/framework/text_scan.h"

namespace velmora::demo {

RecordSlot listedRecord(const std::string& name, const std::string& phone,
                        const std::string& streetAddress, const std::string& postcode,
                        const std::string& address, std::uint32_t seed) {
    RecordSlot r;
    r[Field::Name] = text::lowerAscii(name);
    r[Field::Phone] = text::lowerAscii(phone);
    r[Field::Address] = text::lowerAscii(streetAddress);
    r[Field::Postcode] = text::lowerAscii(postcode);
    // The lookup searches the name as the harvester holds it (lower-cased).
    NameIdentity id = nameIdentity(r[Field::Name], seed);
    if (id.addressHit() != 0) r[Field::Email] = id.email;
    if (id.hitCount() > 0) r[Field::Website] = hitUrl(address, r[Field::Name], 1);
    return r;
}

}  // namespace velmora::demo
