#include "sources/websearch/homepage_extractor.h"

#include <string>

#include "sources/websearch/address_field.h"
#include "sources/websearch/char_tests.h"
#include "sources/websearch/contact_field.h"
#include "sources/websearch/email_field.h"
#include "sources/websearch/manager_field.h"
#include "sources/websearch/name_field.h"
#include "sources/websearch/page_cleaning.h"
#include "sources/websearch/phone_fax_fields.h"
#include "sources/websearch/postcode_field.h"
#include "sources/websearch/profile_field.h"

namespace velmora {

void extractHomepage(std::string_view page, std::string_view keyword, RecordSlot& slot) {
    using namespace homepage;
    // Every step reads the cleaned page; phone and fax share one working text.
    const std::string cleaned = cleanHomepage(page);
    if (slot[Field::Name].empty()) slot[Field::Name] = findCompanyName(cleaned, keyword);
    findPhoneAndFax(cleaned, slot);
    if (slot[Field::Contact].empty()) slot[Field::Contact] = findContact(cleaned);
    if (slot[Field::Manager].empty()) {
        CharMap chars(cleaned);
        slot[Field::Manager] = findManager(cleaned, chars);
    }
    if (slot[Field::Address].empty()) slot[Field::Address] = findAddress(cleaned);
    // The postcode alone is looked for whether or not the slot has one.
    if (auto postcode = findPostcode(cleaned)) slot[Field::Postcode] = std::move(*postcode);
    if (slot[Field::Email].empty()) slot[Field::Email] = findEmail(cleaned);
    if (slot[Field::Profile].empty())
        slot[Field::Profile] = findProfile(cleaned, slot[Field::Name]);
}

}  // namespace velmora
