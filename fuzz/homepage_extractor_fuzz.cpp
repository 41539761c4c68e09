// The homepage contact extractor on arbitrary pages, as the detail step of
// the web-search source runs it (lower-cased page), with a keyword and a
// partly filled slot; the address's place test with and without its list.
//
// Input: keyword bytes up to the first NUL, 1 byte of slot flags, then the page.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "sources/framework/text_scan.h"
#include "sources/websearch/address_field.h"
#include "sources/websearch/homepage_extractor.h"
#include "sources/websearch/page_cleaning.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    fuzz::Input in(data, size);
    std::string keyword(in.until('\0'));
    std::uint32_t flags = in.u32() & 0xFF;
    std::string page = text::lowerAscii(in.rest());

    RecordSlot slot;
    for (int f = 0; f < kSlotFields; ++f)
        if (flags & (1u << (f % 8)))
            slot.fields[f] = f == static_cast<int>(Field::Postcode) ? "999999" : "x";
    const RecordSlot before = slot;
    extractHomepage(page, keyword, slot);
    // Filled fields stay, and so does the website; only the postcode may change.
    for (int f = 0; f < kSlotFields; ++f) {
        if (f == static_cast<int>(Field::Postcode) || before.fields[f].empty()) continue;
        FUZZ_CHECK(slot.fields[f] == before.fields[f]);
    }
    FUZZ_CHECK(slot[Field::Website] == before[Field::Website]);
    if (before[Field::Profile].empty() && !slot[Field::Profile].empty())
        FUZZ_CHECK(slot[Field::Profile].ends_with("......"));
    FUZZ_CHECK(slot[Field::Postcode].empty() || slot[Field::Postcode].size() == 6);

    std::string cleaned = cleanHomepage(page);
    FUZZ_CHECK(homepage::findAddress(cleaned, 0) == homepage::findAddress(cleaned));
    return 0;
}
